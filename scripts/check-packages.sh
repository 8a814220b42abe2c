#!/usr/bin/env bash
# Checks that scripts/setup.sh names every Debian package the build, the programs and the
# tests use, so that a fresh machine gets them all:
#   - what the build found: the files of CMakeCache.txt's paths (compilers, libraries,
#     package configurations, programs), by `dpkg -S`;
#   - what the programs and tests load: the shared libraries of every executable in the
#     build folder (ldd), and the fonts that stand in for the ones metafiles name (fc-match);
#   - what the tests run: every tool the test sources and scripts call through
#     haveProgram("x"), spawnSync('x', find_program(VAR x, command -v x or need x.
# A package counts as named when apt would install it for the list: it is on the list, or
# a dependency of one (the first alternative, unless another is already on the way).
# Building and running must be covered by the `run` list alone, the rest by `test`, and
# no package that only the tests use may come with the `run` list.
#
#   scripts/check-packages.sh [BUILD_DIR]       (default: build)
# Exit status 0 when all is named, 1 with one line per missing package otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
setup=${PICTORANT_SETUP_SCRIPT:-scripts/setup.sh}
[ -f "$build/CMakeCache.txt" ] || {
    echo "check-packages: no $build/CMakeCache.txt; configure first" >&2
    exit 2
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$setup" --list run >"$work/list-run"
"$setup" --list test >"$work/list-test"

# Every installed package: name, what it provides, what it depends on.
dpkg-query -W -f='${Package}\t${db:Status-Abbrev}\t${Provides}\t${Pre-Depends}, ${Depends}\n' \
    | awk -F'\t' '$2 ~ /^ii/' >"$work/installed"

# closure LIST: the packages apt installs for LIST on a machine that has none of them.
closure() {
    awk -F'\t' -v listfile="$1" '
    function strip(s) { gsub(/\([^)]*\)/, "", s); gsub(/\[[^]]*\]/, "", s); gsub(/:[a-z0-9]+/, "", s); gsub(/[ \t]/, "", s); return s }
    FNR == NR { deps[$1] = $4; n = split($3, pv, ","); for (i = 1; i <= n; i++) { v = strip(pv[i]); if (v != "" && !(v in provider)) provider[v] = $1 } ; next }
    { name = strip($0); if (name != "" && !(name in have)) { have[name] = 1; queue[++tail] = name } }
    END {
        for (head = 1; head <= tail; head++) {
            p = queue[head]
            if (!(p in deps)) continue
            n = split(deps[p], groups, ",")
            for (g = 1; g <= n; g++) {
                if (strip(groups[g]) == "") continue
                m = split(groups[g], alts, "|")
                chosen = ""
                for (a = 1; a <= m; a++) {
                    alt = strip(alts[a])
                    if (alt in have || (alt in provider && provider[alt] in have)) { chosen = "-"; break }
                }
                for (a = 1; a <= m && chosen == ""; a++) {
                    alt = strip(alts[a])
                    if (alt in deps) chosen = alt
                    else if (alt in provider) chosen = provider[alt]
                }
                if (chosen != "" && chosen != "-" && !(chosen in have)) { have[chosen] = 1; queue[++tail] = chosen }
            }
        }
        for (p in have) print p
    }' "$work/installed" "$1" | sort -u
}
closure "$work/list-run" >"$work/closure-run"
closure "$work/list-test" >"$work/closure-test"

# use KIND WHY FILE: FILE is used by the build and the programs (KIND build) or by the
# tests (KIND test); its package is looked up below.
use() {
    local real
    real=$(readlink -f "$3" 2>/dev/null || true)
    [ -n "$real" ] && printf '%s\t%s\t%s\t%s\n' "$1" "$2" "$real" "$3" >>"$work/files"
    return 0
}
: >"$work/files"

# The build: files the cache points at. Folders of package configurations are read
# through their *Config.cmake; include folders are shared by many packages and say nothing.
while IFS='=' read -r key value; do
    name=${key%%:*}
    kind=build
    case $name in
    *_INCLUDE_DIR | *_INCLUDE_DIRS | CMAKE_INSTALL_*) continue ;;
    GTest_DIR | GMock_DIR | benchmark_DIR | Qt6Test_DIR | PICTORANT_NODE | XVFB_RUN | XPROP | TWM) kind=test ;;
    esac
    if [ -d "$value" ]; then
        for config in "$value"/*Config.cmake "$value"/*-config.cmake; do
            [ -f "$config" ] && use "$kind" "CMake $name" "$config" && break
        done
    elif [ -f "$value" ]; then
        # A library counts when a target links it, not when a package configuration
        # merely found it.
        case $value in
        *.so | *.a) grep -rqsF --include=link.txt "$value" "$build" || continue ;;
        esac
        use "$kind" "CMake $name" "$value"
    fi
done < <(grep -E '^[A-Za-z0-9_]+:(FILEPATH|PATH)=/' "$build/CMakeCache.txt")
for tool in CMAKE_COMMAND CMAKE_CTEST_COMMAND CMAKE_CPACK_COMMAND; do
    value=$(grep -E "^$tool:INTERNAL=" "$build/CMakeCache.txt" | cut -d= -f2-)
    [ -n "$value" ] && use build "$tool" "$value"
done

# The programs and tests: the libraries every executable of the build loads.
while IFS= read -r exe; do
    case $exe in
    */app/*) kind=build ;;
    *) kind=test ;;
    esac
    ldd "$exe" 2>/dev/null | awk '$2 == "=>" && $3 ~ /^\// { print $3 }' | while IFS= read -r lib; do
        use "$kind" "library of ${exe#"$build"/}" "$lib"
    done
done < <(find "$build" \( -path "$build/_CPack_Packages" -o -name CMakeFiles \) -prune -o -type f -perm -u+x \
    ! -name '*.so*' ! -name '*.sh' -print | while IFS= read -r f; do
    head -c4 "$f" | grep -q 'ELF' && echo "$f"
done | sort -u)

# The window and the metafile text: the fonts fontconfig picks for the names metafiles
# use, and for the window's own sans-serif.
for family in Arial "Times New Roman" "Courier New" sans-serif; do
    file=$(fc-match -f '%{file}' "$family" 2>/dev/null || true)
    [ -n "$file" ] && use build "font for $family" "$file"
done

# The tools the tests run.
grep -rhoE "haveProgram\(\"[A-Za-z0-9+_.-]+\"\)|spawnSync\('[A-Za-z0-9+_.-]+'|find_program\([A-Za-z0-9_]+ [A-Za-z0-9+_.-]+|command -v [A-Za-z0-9+_.-]+|^[[:space:]]*need [A-Za-z0-9+_.-]+" \
    tests scripts .ci --include='*.cpp' --include='*.h' --include='*.mjs' --include='*.sh' \
    --include='CMakeLists.txt' --include='run' --exclude=check-packages.sh \
    --exclude-dir=node_modules 2>/dev/null |
    sed -E 's/^haveProgram\("([^"]+)"\)$/\1/; s/^spawnSync\(.([^\x27]+).$/\1/; s/^find_program\([A-Za-z0-9_]+ //; s/^command -v //; s/^[[:space:]]*need //' |
    sort -u >"$work/tools"
# Where a test names its program by path rather than by name.
grep -rhoE "'/usr/bin/[A-Za-z0-9+_.-]+'" tests --include='*.mjs' --exclude-dir=node_modules | tr -d "'" >>"$work/tools"
while IFS= read -r tool; do
    path=$(command -v "$tool" 2>/dev/null || true)
    if [ -z "$path" ]; then
        echo "check-packages: the tests call $tool, which is not installed" >>"$work/missing"
        continue
    fi
    use test "program $tool" "$path"
done < <(sort -u "$work/tools")

# Each file's package, with one dpkg call.
# dpkg knows a file by the name its package gives it: the real path, or with the /usr
# merge, the name of the link to it.
cut -f3,4 "$work/files" | tr '\t' '\n' | sort -u >"$work/paths"
xargs -r -d '\n' dpkg -S <"$work/paths" 2>/dev/null | grep -v '^diversion' |
    awk '{ i = index($0, ": "); split(substr($0, 1, i - 1), owners, ", "); p = owners[1]; sub(/:.*/, "", p); print substr($0, i + 2) "\t" p }' \
    >"$work/owners" || true
awk -F'\t' 'FNR == NR { pkg[$1] = $2; next }
    ($3 in pkg) { print $1 "\t" pkg[$3] "\t" $2 " (" $3 ")"; next }
    ($4 in pkg) { print $1 "\t" pkg[$4] "\t" $2 " (" $4 ")"; next }
    { print "check-packages: " $2 " (" $3 ") comes from no Debian package; not checked" > "/dev/stderr" }' \
    "$work/owners" "$work/files" | sort -u >"$work/used"

: >>"$work/missing"
while IFS=$'\t' read -r kind pkg why; do
    if [ "$kind" = build ]; then
        grep -qxF "$pkg" "$work/closure-run" ||
            echo "missing from the run list of $setup: $pkg (used by $why)"
    else
        grep -qxF "$pkg" "$work/closure-test" ||
            echo "missing from the test list of $setup: $pkg (used by $why)"
    fi
done <"$work/used" >>"$work/missing"

# `make run` must not bring a package only the tests use: one that the run list's
# closure holds although the closure of what building and running use does not.
awk -F'\t' '$1 == "build" { print $2 }' "$work/used" | sort -u >"$work/build-used"
closure "$work/build-used" >"$work/closure-build"
awk -F'\t' '$1 == "test" { print $2 }' "$work/used" | sort -u | while IFS= read -r pkg; do
    if grep -qxF "$pkg" "$work/closure-run" && ! grep -qxF "$pkg" "$work/closure-build"; then
        echo "the run list of $setup brings $pkg, which only the tests use"
    fi
done >>"$work/missing"

[ -z "${PICTORANT_CHECK_VERBOSE:-}" ] || cat "$work/used" >&2
used=$(cut -f2 "$work/used" | sort -u | wc -l)
if [ -s "$work/missing" ]; then
    sort -u "$work/missing" >&2
    exit 1
fi
echo "check-packages: all $used packages the build, the programs and the tests use are named"
