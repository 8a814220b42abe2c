#!/usr/bin/env bash
# Installs the Debian 12 packages Pictorant needs, then configures the build folder.
# Safe to run again: it only installs what is missing.
#
#   scripts/setup.sh run          what building and running need (make run)
#   scripts/setup.sh test         that, and what the tests and the package need (make test)
#   scripts/setup.sh --list run|test   print the package list, one a line, install nothing
set -euo pipefail
cd "$(dirname "$0")/.."

# Building and running. The fonts are part of running: metafiles name Arial, Times New
# Roman and Courier New, and their text only keeps its width with metric-compatible
# stand-ins; the window uses them too.
run_packages=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-qpa-plugins
    fonts-dejavu-core
    fonts-liberation2 # metric-compatible stand-ins for the fonts metafiles name
    libjpeg62-turbo-dev libgif-dev
    libpng-dev libwebp-dev libtiff-dev libheif-dev # PNG, WebP, TIFF and HEIC/HEIF pictures
    liblcms2-dev libexif-dev libturbojpeg0-dev # colour profiles, EXIF, lossless JPEG turns
)

# Only the tests, the benchmarks and the package need these.
test_packages=(
    libgtest-dev libgmock-dev libbenchmark-dev
    libjpeg-turbo-progs                # cjpeg/djpeg/jpegtran: reference codec for the imaging tests
    imagemagick webp libtiff-tools libheif-examples # devtools/make_format_pictures.sh
    clang libclang-rt-14-dev           # libFuzzer targets, replayed over their corpus
    chromium                           # galleries checked in a real browser
    xvfb xauth                         # screenshots and running the window program headless
    x11-utils twm                      # window titles and frames as a desktop shows them
    dpkg-dev file                      # the .deb: dpkg-shlibdeps, and CPack finding programs
    lintian appstream desktop-file-utils # the package and its metadata checked
    groff-base                         # the manual pages formatted without warnings
    nodejs npm                         # the browser checks (a node of its own will do)
)

usage() {
    echo "usage: scripts/setup.sh run|test   or   scripts/setup.sh --list run|test" >&2
    exit 2
}

list_only=false
if [ "${1:-}" = "--list" ]; then
    list_only=true
    shift
fi
case "${1:-test}" in
run) packages=("${run_packages[@]}") ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
*) usage ;;
esac
mode=${1:-test}

if $list_only; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

missing=()
for p in "${packages[@]}"; do
    case $p in nodejs | npm) command -v node >/dev/null 2>&1 && continue ;; esac
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
    else
        echo "Pictorant needs these Debian packages. Install them with:" >&2
        echo "  sudo apt-get install ${missing[*]}" >&2
        exit 1
    fi
fi

if [ "$mode" = test ]; then
    # playwright-core drives the system chromium; it never downloads a browser.
    if [ -f tests/browser/package.json ] && [ ! -d tests/browser/node_modules/playwright-core ]; then
        (cd tests/browser && npm install --no-audit --no-fund --silent)
    fi
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DPICTORANT_BUILD_TESTS=ON -DPICTORANT_BUILD_BENCH=ON >/dev/null
elif [ -f build/CMakeCache.txt ]; then
    # A folder that `make test` set up keeps its tests.
    cmake -S . -B build >/dev/null
else
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DPICTORANT_BUILD_TESTS=OFF -DPICTORANT_BUILD_BENCH=OFF >/dev/null
fi
