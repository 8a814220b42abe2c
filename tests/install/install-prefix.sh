#!/usr/bin/env bash
# Installs the build into a temporary prefix with --strip and runs the installed
# programs from there: the version, the help document under share/pictorant/, a run.
#   tests/install/install-prefix.sh BUILD_DIR VERSION
set -euo pipefail
. "$(dirname "$0")/common.sh"
build=$1
version=$2
for tool in cmake readelf groff desktop-file-validate appstreamcli; do need "$tool"; done

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" --strip >/dev/null

for program in pictorant pictorant-batch; do
    [ -x "$prefix/bin/$program" ] || fail "$program not installed in bin/"
    if readelf -S "$prefix/bin/$program" | grep -q '\.debug_info'; then
        fail "$program installed with its debugging information"
    fi
    out=$(env -i PATH=/usr/bin:/bin "$prefix/bin/$program" --version)
    [ "$out" = "$program $version" ] || fail "$program --version said: $out"
    [ -f "$prefix/share/man/man1/$program.1.gz" ] || fail "no manual page $program.1"
    # The page reads without warnings from the formatter.
    page=$(zcat "$prefix/share/man/man1/$program.1.gz" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1 || true)
    [ -z "$page" ] || fail "$program.1: $page"
done
[ -z "$(ls "$prefix/bin" | grep -v '^pictorant')" ] || fail "bin/ holds more than the programs: $(ls "$prefix/bin")"
[ -f "$prefix/share/doc/pictorant/copyright" ] || fail "no copyright file"

# The installed window program finds the installed help document, from any folder.
out=$(cd / && env -i PATH=/usr/bin:/bin HOME="$prefix" "$prefix/bin/pictorant" --help)
expect_in "$out" "Help document: $prefix/share/pictorant/Pictorhelp.htm" "pictorant --help"
case $out in *"(missing)"*) fail "pictorant --help: the help document is missing: $out" ;; esac
# The build folder's program finds the build folder's copy.
out=$("$build/app/pictorant" --help)
expect_in "$out" "Help document: $(cd "$build" && pwd -P)/share/pictorant/Pictorhelp.htm" \
    "build-tree pictorant --help"
case $out in *"(missing)"*) fail "build-tree pictorant: help document missing: $out" ;; esac

desktop-file-validate "$prefix/share/applications/pictorant.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/org.pictorant.Pictorant.metainfo.xml" ||
    fail "appstreamcli validate"

# The installed tool does real work: a copy and its info.
work="$prefix/work"
mkdir "$work"
printf 'BM' >"$work/x.bmp"
(cd "$work" && env -i PATH=/usr/bin:/bin HOME="$prefix" "$prefix/bin/pictorant-batch" copy \
    --qualifier c_ --naming PreName -q x.bmp) >/dev/null || fail "installed copy run"
[ -f "$work/c_x.bmp" ] || fail "the installed copy run wrote nothing"
echo "installed into $prefix: programs, help, manual pages and metadata in place"
