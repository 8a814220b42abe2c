#!/bin/bash
# Makes the PNG, WebP, TIFF and HEIC test pictures in tests/data/{png,webp,tiff,heif} with
# the formats' reference tools, and each one's expected pixels on white as a binary PPM
# in tests/data/expected/ (decoded by the same tools, not by the program). The files are
# committed; run this again only to change them. Needs imagemagick, webp, libtiff-tools
# and libheif-examples.
set -euo pipefail
cd "$(dirname "$0")/../tests/data"
im=$(command -v convert-im6.q16 || command -v convert)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p png webp tiff heif expected

# 32 x 24: red across, green down, a blue checker, the right half fading out.
"$im" -size 32x24 xc:black -channel R -fx 'i/(w-1)' -channel G -fx 'j/(h-1)' \
    -channel B -fx '((floor(i/4)+floor(j/4))%2)*0.8' +channel \
    -alpha set -channel A -fx 'i<16 ? 1 : 1-(i-16)/16' +channel "PNG64:$work/src.png"
"$im" -size 32x24 xc:'#3070b0' "PNG24:$work/second.png"

expect() { # picture decoded-by-the-tools
    "$im" "$2" -background white -flatten -depth 8 "expected/$(basename "$1").ppm"
}

# PNG: every colour type and depth, palette with transparency, interlacing.
png() { # name options...
    local name=$1
    shift
    "$im" "$work/src.png" "$@" "png/$name.png"
    expect "png/$name.png" "png/$name.png"
}
png rgb8 -alpha off -define png:color-type=2 -depth 8
png rgba8 -define png:color-type=6 -depth 8
png rgb16 -alpha off -define png:color-type=2 -depth 16
png rgba16 -define png:color-type=6 -depth 16
png grey1 -alpha off -colorspace gray -define png:color-type=0 -define png:bit-depth=1
png grey4 -alpha off -colorspace gray -define png:color-type=0 -define png:bit-depth=4
png grey16 -alpha off -colorspace gray -define png:color-type=0 -define png:bit-depth=16
png greyalpha8 -colorspace gray -define png:color-type=4 -depth 8
png palette-trns -define png:color-type=3 -colors 40
png interlaced -interlace PNG -define png:color-type=6 -depth 8

# WebP: lossless with alpha, lossy, and an animation whose first frame counts.
cwebp -quiet -lossless "$work/src.png" -o webp/lossless-alpha.webp
expect webp/lossless-alpha.webp "$work/src.png"
"$im" "$work/src.png" -alpha off "PNG24:$work/opaque.png"
cwebp -quiet -q 90 "$work/opaque.png" -o webp/lossy.webp
dwebp -quiet webp/lossy.webp -pam -o "$work/lossy.pam"
expect webp/lossy.webp "$work/lossy.pam"
img2webp -lossless "$work/src.png" "$work/second.png" -o webp/animated.webp
expect webp/animated.webp "$work/src.png"

# TIFF: RGBA, 16-bit, palette, grey, CMYK, tiled, and two pages of which the first counts.
tif() { # name source options...
    local name=$1 source=$2
    shift 2
    "$im" "$source" "$@" "tiff/$name.tif"
}
tif rgba-lzw "$work/src.png" -compress lzw
expect tiff/rgba-lzw.tif "$work/src.png"
tif rgb16-deflate "$work/opaque.png" -depth 16 -compress zip
expect tiff/rgb16-deflate.tif "$work/opaque.png"
tif palette "$work/opaque.png" -type Palette -colors 16
expect tiff/palette.tif tiff/palette.tif
tif grey "$work/opaque.png" -colorspace gray -compress RLE
expect tiff/grey.tif tiff/grey.tif
tif cmyk "$work/opaque.png" -colorspace cmyk
"$im" tiff/cmyk.tif -colorspace sRGB -depth 8 "expected/cmyk.tif.ppm"
tif tiled "$work/opaque.png" -define tiff:tile-geometry=16x16
expect tiff/tiled.tif "$work/opaque.png"
"$im" "$work/opaque.png" "$work/second.png" -compress lzw tiff/two-pages.tif
expect tiff/two-pages.tif "$work/opaque.png"

# HEIC: lossy with alpha, decoded by the library's own tool.
heif-enc -q 90 "$work/src.png" -o heif/alpha.heic >/dev/null
heif-convert heif/alpha.heic "$work/alpha.png" >/dev/null
expect heif/alpha.heic "$work/alpha.png"
heif-enc -q 90 "$work/opaque.png" -o heif/opaque.heif >/dev/null
heif-convert heif/opaque.heif "$work/opaque-heif.png" >/dev/null
expect heif/opaque.heif "$work/opaque-heif.png"
