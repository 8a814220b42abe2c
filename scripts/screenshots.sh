#!/usr/bin/env bash
# Starts the window program's windows under a virtual X display (Debian's xvfb), walks
# the wizard through its five pages over a few pictures it makes, and saves one PNG per
# page (and the splash), the side windows and the gallery dialogs into docs/screenshots/;
# the wizard's pages also under a dark palette (dark/) and at scale 2 (scale2/).
#
#   scripts/screenshots.sh [build folder]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=docs/screenshots

if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "xvfb-run not found: install the Debian package xvfb (scripts/setup.sh does)." >&2
    exit 1
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" >/dev/null
fi
programs=(pictorant-screenshots side-windows-screenshots gallery-screenshots)
cmake --build "$build" --target "${programs[@]}" -j"$(nproc)"

mkdir -p "$out"
# The real X platform, not offscreen, so the pictures show what a person sees.
for program in "$build/app/pictorant-screenshots" \
    "$build/devtools/screenshots/side-windows-screenshots" \
    "$build/devtools/screenshots/gallery-screenshots"; do
    env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1024x768x24" "$program" "$out"
done
# The wizard again under a dark desktop palette, and at twice the scale.
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1024x768x24" \
    "$build/app/pictorant-screenshots" "$out/dark" dark
env -u QT_QPA_PLATFORM QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 2048x1536x24" \
    "$build/app/pictorant-screenshots" "$out/scale2"
ls -lR "$out"
