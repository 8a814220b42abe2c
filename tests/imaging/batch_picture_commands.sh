#!/usr/bin/env bash
# pictorant-batch on a picture over the pixel limit and on a cut JPEG: what the command
# line says about them. Usage: batch_picture_commands.sh PICTORANT_BATCH DATA_FOLDER
set -u
batch=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # description, expected, actual
    if [ "$2" != "$3" ]; then
        printf 'FAIL: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
        failures=$((failures + 1))
    fi
}
cd "$work"
jpeg="$data/jpeg/libjpeg-turbo/testorig.jpg"
cp "$jpeg" photo.jpg && mkdir thumbs
# A frame header claiming 60000 x 60000 is refused when the file is opened.
sof=$(LC_ALL=C grep -obUaP '\xff\xc0' "$jpeg" | head -1 | cut -d: -f1)
cp "$jpeg" huge.jpg
printf '\xea\x60\xea\x60' | dd of=huge.jpg bs=1 seek=$((sof + 5)) conv=notrunc 2>/dev/null
too="Picture is too large (60000 x 60000 pixels; the limit is 268435456)"
out=$("$batch" info huge.jpg)
check "info of a picture over the limit" "1 huge.jpg: $too" "$? $out"
err=$("$batch" thumbnails --output thumbs --workers 1 huge.jpg 2>&1 >/dev/null)
check "a run stops at it, naming file and reason" "1 pictorant-batch: $too
Could not open huge.jpg" "$? $err"
# A JPEG cut short is processed, with a warning line on standard error.
head -c 3000 "$jpeg" > cut.jpg
for workers in 1 2; do
    err=$("$batch" thumbnails --output thumbs --workers $workers cut.jpg photo.jpg 2>&1 >/dev/null)
    check "a cut JPEG, $workers workers" "0 cut.jpg: data ends early; the rest is grey" "$? $err"
done
[ "$failures" -eq 0 ] && echo "all picture command checks passed"
exit $((failures > 0))
