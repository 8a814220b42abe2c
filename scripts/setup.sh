#!/usr/bin/env bash
# Installs what Pictorant needs to build, run and test on Debian 12, then
# configures the build folder. Safe to run again: it only installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-qpa-plugins fonts-dejavu-core
    fonts-liberation2             # metric-compatible stand-ins for the fonts metafiles name
    libjpeg62-turbo-dev libgif-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libjpeg-turbo-progs           # cjpeg/djpeg: reference codec for the imaging tests
    clang libclang-rt-14-dev      # libFuzzer targets, replayed over their corpus
    chromium                      # galleries checked in a real browser
    xvfb xauth                    # screenshots and running the window program headless
)
command -v node >/dev/null 2>&1 || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
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

# playwright-core drives the system chromium; it never downloads a browser.
if [ -f tests/browser/package.json ] && [ ! -d tests/browser/node_modules/playwright-core ]; then
    (cd tests/browser && npm install --no-audit --no-fund --silent)
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
