#!/bin/bash
# Times pictorant-batch thumbnails (Fast, Quality, Smooth) against other thumbnailers on one folder of JPEGs:
# 96 pixels, JPEG quality 90, each tool RUNS times, the tools taking turns within each
# round so that a busy machine weighs on all of them alike. Prints median wall times,
# ratios to one vipsthumbnail process, and peak memory (/usr/bin/time -v).
#
#   bench/compare.sh FOLDER [RUNS]
#   PICTORANT_BATCH=path/to/pictorant-batch (default: build/app/pictorant-batch)
#   PICTORANT_ONLY=1 times pictorant-batch alone (no other tool is installed or run),
#   ratios then to its first row
set -euo pipefail

folder=${1:?usage: bench/compare.sh FOLDER [RUNS]}
runs=${2:-5}
here=$(cd "$(dirname "$0")/.." && pwd)
batch=${PICTORANT_BATCH:-$here/build/app/pictorant-batch}
[ -x "$batch" ] || { echo "pictorant-batch not found at $batch (set PICTORANT_BATCH)" >&2; exit 2; }

only=${PICTORANT_ONLY:-}
need=()
[ -n "$only" ] || command -v vipsthumbnail >/dev/null || need+=(libvips-tools)
[ -n "$only" ] || command -v mogrify >/dev/null || need+=(imagemagick)
[ -n "$only" ] || command -v gm >/dev/null || need+=(graphicsmagick)
[ -x /usr/bin/time ] || need+=(time)
if [ ${#need[@]} -gt 0 ]; then
    apt-get install -y --no-install-recommends "${need[@]}" >/dev/null
fi

mapfile -t files < <(find "$folder" -maxdepth 1 -type f \( -iname '*.jpg' -o -iname '*.jpeg' \) | sort)
[ ${#files[@]} -gt 0 ] || { echo "no JPEG files in $folder" >&2; exit 2; }
half=$(( ${#files[@]} / 2 ))
first=("${files[@]:0:half}")
second=("${files[@]:half}")
cores=$(nproc)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ours() { # speed workers
    "$batch" thumbnails --output "$out" --resize "$1" --width 96 --height 96 --ratio \
        --jpeg-quality 90 --workers "$2" "${files[@]}" >/dev/null 2>&1
}
# The photo options on: upright by EXIF and colours through their profiles.
ours_photo() { # speed workers
    "$batch" thumbnails --output "$out" --resize "$1" --width 96 --height 96 --ratio \
        --jpeg-quality 90 --workers "$2" --auto-orient --srgb "${files[@]}" >/dev/null 2>&1
}
vips_one() { vipsthumbnail --size 96 -o "$out/%s.jpg[Q=90]" "${files[@]}"; }
vips_two() {
    vipsthumbnail --size 96 -o "$out/%s.jpg[Q=90]" "${first[@]}" &
    vipsthumbnail --size 96 -o "$out/%s.jpg[Q=90]" "${second[@]}"
    wait
}
im_mogrify() { mogrify -path "$out" -thumbnail 96x96 -quality 90 "${files[@]}"; }
im_sized() { mogrify -path "$out" -define jpeg:size=192x192 -thumbnail 96x96 -quality 90 "${files[@]}"; }
im_convert() { for f in "${files[@]}"; do convert "$f" -thumbnail 96x96 -quality 90 "$out/$(basename "$f")"; done; }
# gm puts the whole path given below its output folder: give bare names.
gm_mogrify() {
    (cd "$folder" && gm mogrify -output-directory "$out" -size 192x192 -thumbnail 96x96 \
        -quality 90 "${files[@]##*/}")
}

names=("vipsthumbnail --size 96"
       "2 x vipsthumbnail, halves side by side"
       "pictorant-batch Quality, 1 worker"
       "pictorant-batch Quality, $cores workers"
       "pictorant-batch Fast, 1 worker"
       "pictorant-batch Fast, $cores workers"
       "pictorant-batch Smooth, 1 worker"
       "pictorant-batch Smooth, $cores workers"
       "ImageMagick mogrify -thumbnail 96x96"
       "ImageMagick mogrify -define jpeg:size=192x192"
       "ImageMagick convert -thumbnail, one per file"
       "GraphicsMagick mogrify -size 192x192"
       "pictorant-batch Quality, 1 worker, --auto-orient --srgb"
       "pictorant-batch Quality, $cores workers, --auto-orient --srgb")
commands=(vips_one vips_two "ours quality 1" "ours quality $cores" "ours fast 1"
          "ours fast $cores" "ours smooth 1" "ours smooth $cores" im_mogrify im_sized im_convert gm_mogrify
          "ours_photo quality 1" "ours_photo quality $cores")
if [ -n "$only" ]; then
    kept_names=() kept_commands=()
    for i in "${!commands[@]}"; do
        case ${commands[$i]} in ours*) kept_names+=("${names[$i]}") kept_commands+=("${commands[$i]}") ;; esac
    done
    names=("${kept_names[@]}") commands=("${kept_commands[@]}")
fi

declare -A times
for ((r = 0; r < runs; r++)); do
    for i in "${!commands[@]}"; do
        out="$work/$i"
        rm -rf "$out"
        mkdir -p "$out"
        start=$(date +%s.%N)
        ${commands[$i]}
        end=$(date +%s.%N)
        times[$i]+="$(echo "$end - $start" | bc) "
    done
done

median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

echo "folder: $folder (${#files[@]} files), $runs runs each, taking turns"
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $cores cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
base=$(echo "${times[0]}" | median)
printf '%-56s %9s %9s\n' tool "median s" "/ $([ -n "$only" ] && echo first || echo vips)"
for i in "${!commands[@]}"; do
    m=$(echo "${times[$i]}" | median)
    printf '%-56s %9.2f %9.2f\n' "${names[$i]}" "$m" "$(echo "$m / $base" | bc -l)"
done

peak() { # label command...
    local label=$1
    shift
    out="$work/peak"
    rm -rf "$out"
    mkdir -p "$out"
    /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null 2>&1
    printf '%-48s %6d MiB\n' "$label" $(( $(awk -F: '/Maximum resident/ {print $2}' "$work/time.txt") / 1024 ))
}
echo "peak memory (maximum resident set):"
for speed in quality smooth; do
    for w in 1 2; do
        peak "pictorant-batch $speed, $w worker(s)" "$batch" thumbnails --output "$work/peak" \
            --resize "$speed" --width 96 --height 96 --ratio --jpeg-quality 90 --workers "$w" "${files[@]}"
    done
done
[ -n "$only" ] || peak "vipsthumbnail --size 96" vipsthumbnail --size 96 -o "$work/peak/%s.jpg[Q=90]" "${files[@]}"
