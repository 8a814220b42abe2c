#!/usr/bin/env bash
# Starts the window program, or explains what to do on a machine without a display.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -x build/app/pictorant ]; then
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display found: run 'xvfb-run -a build/app/pictorant', or use build/app/pictorant-batch --help." >&2
        exit 1
    fi
    exec build/app/pictorant "$@"
fi
exec build/app/pictorant-batch --help
