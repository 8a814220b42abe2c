#!/bin/bash
# How close the thumbnails come to an exact box-filter reduction: for every JPEG in
# FOLDER and each size (200 and 96 pixels, the longest side), PSNR in dB of
#   pictorant-batch Smooth, Quality and Fast (written as PNG, so no JPEG loss counts),
#   vipsthumbnail (PNG, no auto-rotation),
# against ImageMagick's "-filter Box -resize" of the same photo to the same size as the
# tool's thumbnail (the tools round a side differently now and then; higher is better).
# Prints one row per photo and size and the mean per tool. Needs ImageMagick and
# vipsthumbnail; says which is missing and stops.
#
#   bench/smooth_psnr.sh FOLDER [SIZES]      e.g. bench/smooth_psnr.sh ~/photos "200 96"
#   PICTORANT_BATCH=path/to/pictorant-batch (default: build/app/pictorant-batch)
set -euo pipefail

folder=${1:?usage: bench/smooth_psnr.sh FOLDER [SIZES]}
sizes=${2:-200 96}
here=$(cd "$(dirname "$0")/.." && pwd)
batch=${PICTORANT_BATCH:-$here/build/app/pictorant-batch}
[ -x "$batch" ] || { echo "pictorant-batch not found at $batch (set PICTORANT_BATCH)" >&2; exit 2; }
im=$(command -v convert-im6.q16 || command -v convert || true)
compare=$(command -v compare-im6.q16 || command -v compare || true)
missing=()
[ -n "$im" ] && [ -n "$compare" ] || missing+=("ImageMagick (imagemagick)")
command -v vipsthumbnail >/dev/null || missing+=("vipsthumbnail (libvips-tools)")
if [ ${#missing[@]} -gt 0 ]; then
    echo "not installed: ${missing[*]}; no measurement made" >&2
    exit 2
fi

mapfile -t files < <(find "$folder" -maxdepth 1 -type f \( -iname '*.jpg' -o -iname '*.jpeg' \) | sort)
[ ${#files[@]} -gt 0 ] || { echo "no JPEG files in $folder" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tools=(smooth quality fast vips)

psnr() { # photo thumbnail -> dB against the box reduction of the photo to the thumbnail's size
    local dims ref v
    dims=$("$im" -quiet "$2" -format '%wx%h' info:)
    ref="$work/ref-$(basename "$1")-$dims.png"
    [ -f "$ref" ] || "$im" -quiet "$1" -filter Box -resize "$dims!" "$ref"
    v=$("$compare" -quiet -metric PSNR "$ref" "$2" null: 2>&1 || true)
    [[ $v =~ ^[0-9.]+$|^inf$ ]] && echo "$v" || echo "-"
}

printf '%-34s %5s' photo size
printf ' %8s' "${tools[@]}"
echo
declare -A sum count
for size in $sizes; do
    for tool in smooth quality fast; do
        mkdir -p "$work/$size/$tool"
        "$batch" thumbnails --type png --resize "$tool" --ratio --width "$size" --naming PreName \
            --qualifier "" --output "$work/$size/$tool" -q "${files[@]}" >/dev/null
    done
    mkdir -p "$work/$size/vips"
    for f in "${files[@]}"; do
        stem=$(basename "${f%.*}")
        vipsthumbnail "$f" --size "$size" --no-rotate -o "$work/$size/vips/$stem.png" 2>/dev/null
        printf '%-34s %5s' "${stem:0:34}" "$size"
        for tool in "${tools[@]}"; do
            v=$(psnr "$f" "$work/$size/$tool/$stem.png")
            printf ' %8s' "$v"
            if [ "$v" != "-" ] && [ "$v" != inf ]; then
                sum[$size.$tool]=$(echo "${sum[$size.$tool]:-0} + $v" | bc -l)
                count[$size.$tool]=$(( ${count[$size.$tool]:-0} + 1 ))
            fi
        done
        echo
    done
done
echo
for size in $sizes; do
    printf '%-34s %5s' "mean over ${#files[@]} photos" "$size"
    for tool in "${tools[@]}"; do
        n=${count[$size.$tool]:-0}
        if [ "$n" -gt 0 ]; then
            printf ' %8.2f' "$(echo "${sum[$size.$tool]} / $n" | bc -l)"
        else
            printf ' %8s' -
        fi
    done
    echo
done
echo "(\"-\": no thumbnail or no measure; not counted)"
