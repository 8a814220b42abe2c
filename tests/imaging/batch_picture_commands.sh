#!/usr/bin/env bash
# pictorant-batch info and rotate, run as a user would.
# Usage: batch_picture_commands.sh PICTORANT_BATCH DATA_FOLDER
set -u
batch=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # description, expected, actual
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1"
        echo "  expected: $2"
        echo "  actual:   $3"
        failures=$((failures + 1))
    fi
}

cp "$data/jpeg/libjpeg-turbo/testorig.jpg" "$work/photo.JPG"
cp "$data/bmp/bmpsuite/g/pal8.bmp" "$work/pal.bmp"
cp "$data/gif/giflib/treescap.gif" "$work/trees.gif"
printf 'BMxx' > "$work/broken.bmp"

cd "$work"
out=$("$batch" info photo.JPG pal.bmp trees.gif)
check "info exit status" 0 $?
check "info lines" "photo.JPG: Jpeg 227 x 149
pal.bmp: Bitmap 127 x 64
trees.gif: Gif 40 x 40" "$out"

out=$("$batch" info broken.bmp pal.bmp notes.txt missing.gif)
check "info exit status with failures" 1 $?
check "info failure lines" "broken.bmp: Bitmap image is not valid
pal.bmp: Bitmap 127 x 64
notes.txt: Unknown picture file extension (.txt)
missing.gif: Cannot open file \"missing.gif\". No such file or directory" "$out"

"$batch" rotate cw photo.JPG pal.bmp trees.gif >/dev/null
check "rotate exit status" 0 $?
out=$("$batch" info photo.JPG pal.bmp trees.gif)
check "rotated sizes" "photo.JPG: Jpeg 149 x 227
pal.bmp: Bitmap 64 x 127
trees.gif: Gif 40 x 40" "$out"
check "8-bit BMP becomes 24-bit" 24 "$(od -An -tu2 -j28 -N2 pal.bmp | tr -d ' ')"

cp pal.bmp before.bmp
"$batch" rotate ccw pal.bmp >/dev/null && "$batch" rotate cw pal.bmp >/dev/null
check "a turn and a turn back restore a 24-bit BMP" same "$(cmp -s pal.bmp before.bmp && echo same)"

"$batch" rotate cw --jpeg-quality 10 photo.JPG >/dev/null
small=$(stat -c %s photo.JPG)
"$batch" rotate cw --jpeg-quality 100 photo.JPG >/dev/null
check "quality 10 is smaller than quality 100" yes "$([ "$small" -lt "$(stat -c %s photo.JPG)" ] && echo yes)"

err=$("$batch" rotate cw broken.bmp pal.bmp 2>&1 >/dev/null)
check "rotate with a bad file" 1 $?
check "rotate error line" "broken.bmp: Bitmap image is not valid" "$err"
check "the good file was still turned" "pal.bmp: Bitmap 127 x 64" "$("$batch" info pal.bmp)"

"$batch" rotate left pal.bmp 2>/dev/null
check "bad direction is a usage error" 2 $?
"$batch" rotate cw --jpeg-quality 101 pal.bmp 2>/dev/null
check "quality out of range is a usage error" 2 $?
"$batch" info 2>/dev/null
check "info without files is a usage error" 2 $?

# A frame header claiming more pixels than the limit is refused when the file is opened.
sof=$(LC_ALL=C grep -obUaP '\xff\xc0' "$data/jpeg/libjpeg-turbo/testorig.jpg" | head -1 | cut -d: -f1)
cp "$data/jpeg/libjpeg-turbo/testorig.jpg" huge.jpg
printf '\xea\x60\xea\x60' | dd of=huge.jpg bs=1 seek=$((sof + 5)) conv=notrunc 2>/dev/null
out=$("$batch" info huge.jpg)
check "info of a picture over the limit" 1 $?
check "over the limit, said at once" \
    "huge.jpg: Picture is too large (60000 x 60000 pixels; the limit is 268435456)" "$out"
mkdir -p thumbs
err=$("$batch" thumbnails --output thumbs --workers 1 huge.jpg 2>&1 >/dev/null)
check "a run stops at the picture over the limit" 1 $?
check "the run names the file and the reason" "pictorant-batch: Picture is too large (60000 x 60000 pixels; the limit is 268435456)
Could not open huge.jpg" "$err"

# A JPEG cut short is processed, with a warning line on standard error.
head -c 3000 "$data/jpeg/libjpeg-turbo/testorig.jpg" > cut.jpg
for workers in 1 2; do
    err=$("$batch" thumbnails --output thumbs --workers $workers cut.jpg photo.JPG 2>&1 >/dev/null)
    check "a cut JPEG is processed ($workers workers)" 0 $?
    check "the warning names it ($workers workers)" "cut.jpg: data ends early; the rest is grey" \
        "$err"
done

[ "$failures" -eq 0 ] && echo "all picture command checks passed"
exit $((failures > 0))
