#!/bin/sh
# Runs the command under twm, which frames every window as a desktop does, with only the
# server's built-in font (twm stops when a font it asks for is missing).
rc=$(mktemp)
printf 'RandomPlacement\nUsePPosition "on"\n' >"$rc"
for f in TitleFont ResizeFont MenuFont IconFont IconManagerFont; do echo "$f \"fixed\"" >>"$rc"; done
twm -f "$rc" >/dev/null 2>&1 &
sleep 1
"$@"
status=$?
kill $! 2>/dev/null
rm -f "$rc"
exit $status
