#!/bin/sh
# Runs the given command on the current X display under twm, which frames every window
# with a border and a title bar as a desktop does. Windows are placed where they ask.
set -u
rc=$(mktemp)
# Only the server's built-in font: twm stops when a font it asks for is missing.
printf 'RandomPlacement\nUsePPosition "on"\n' >"$rc"
for font in TitleFont ResizeFont MenuFont IconFont IconManagerFont; do
    printf '%s "fixed"\n' "$font" >>"$rc"
done
twm -f "$rc" >/dev/null 2>&1 &
wm=$!
sleep 1
"$@"
status=$?
kill "$wm" 2>/dev/null
rm -f "$rc"
exit $status
