#!/usr/bin/env bash
# Makes the .deb as `make package` does, and checks it: its files, its dependencies from
# dpkg-shlibdeps and the fonts, and lintian without errors.
#   tests/install/deb-package.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/common.sh"
build=$(cd "$1" && pwd)
for tool in cpack dpkg-deb dpkg-shlibdeps file lintian; do need "$tool"; done

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$out" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1) ||
    fail "cpack: $(cat "$out/cpack.log")"
deb=$(ls "$out"/pictorant_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "no pictorant_*.deb made: $(cat "$out/cpack.log")"

files=$(dpkg-deb -c "$deb")
for path in ./usr/bin/pictorant ./usr/bin/pictorant-batch ./usr/share/pictorant/Pictorhelp.htm \
    ./usr/share/man/man1/pictorant-batch.1.gz ./usr/share/man/man1/pictorant.1.gz \
    ./usr/share/metainfo/org.pictorant.Pictorant.metainfo.xml \
    ./usr/share/applications/pictorant.desktop ./usr/share/doc/pictorant/copyright; do
    expect_in "$files" " $path" "contents of $(basename "$deb")"
done
case $files in *"/usr/bin/Pictorhelp.htm"*) fail "help document in bin/" ;; esac

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6gui6 libjpeg62-turbo libgif7 libc6 fonts-liberation2; do
    expect_in "$depends" "$package" "Depends"
done

# lintian's errors fail the test; its warnings are shown.
report=$(lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1) || fail "lintian: $report"
[ -z "$report" ] || echo "$report"
echo "$(basename "$deb"): $depends"
