#!/bin/bash
# Peak memory and time of pictorant-batch on the crafted files of devtools/fuzz/make_seeds.py:
# one line per case, "input | command | workers | peak MB | seconds | exit".
#
#   bench/budget.sh [PICTORANT_BATCH]
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
batch=${1:-$here/build/app/pictorant-batch}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$here/devtools/fuzz/make_seeds.py" "$work/seeds"
mkdir -p "$work/in"
cp "$work"/seeds/{bmp,gif,jpeg}/* "$work/in/"
mkdir -p "$work/three"
for i in 1 2 3; do cp "$work/in/rle8-16000.bmp" "$work/three/big$i.bmp"; done

measure() { # label command workers args...
    local label=$1 command=$2 workers=$3
    shift 3
    rm -rf "$work/out" && mkdir -p "$work/out"
    /usr/bin/time -v -o "$work/time" "$batch" "$@" >/dev/null 2>"$work/err"
    local rc=$?
    local kb secs
    kb=$(awk -F': ' '/Maximum resident/ {print $2}' "$work/time")
    secs=$(awk -F': ' '/Elapsed/ {print $2}' "$work/time")
    printf '%s | %s | %s | %d MB | %s | exit %s | %s\n' "$label" "$command" "$workers" \
        $((kb / 1024)) "$secs" "$rc" "$(tr '\n' ' ' <"$work/err" | cut -c1-110)"
}

for f in rle8-16000.bmp screen-16000.gif frame-16000.gif sof-16000.jpg sof-60000.jpg; do
    measure "$f" info 1 info "$work/in/$f"
    for w in 1 3; do
        measure "$f" thumbnails $w thumbnails --input "$work/in" --output "$work/out" \
            --width 96 --height 96 --workers $w "$f"
        measure "$f" convert $w convert --input "$work/in" --output "$work/out" --type bmp \
            --workers $w "$f"
    done
done
for w in 1 3; do
    measure "3 x rle8-16000.bmp" thumbnails $w thumbnails --input "$work/three" \
        --output "$work/out" --width 96 --height 96 --workers $w big1.bmp big2.bmp big3.bmp
    measure "3 x rle8-16000.bmp" convert $w convert --input "$work/three" --output "$work/out" \
        --type bmp --workers $w big1.bmp big2.bmp big3.bmp
done
