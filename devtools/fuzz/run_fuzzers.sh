#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour sanitizers)
# and runs each in turn on one core for SECONDS (default 60; 600 before a release),
# starting from the picture suites in tests/data and the crafted pictures that
# make_seeds.py writes. The targets keep the program's own pixel cap; -rss_limit_mb is
# the memory a run may take (about 1.5 GB) plus the sanitizers' share, and -timeout
# leaves room for a legitimate picture at the cap, which takes seconds under them.
# New inputs go to build-fuzz/corpus/TARGET/, findings (crash-*, leak-*, oom-*,
# timeout-*) to build-fuzz/findings/TARGET-*; replay one with
# build-fuzz/tests/fuzz/TARGET_fuzzer FILE.
# Usage: devtools/fuzz/run_fuzzers.sh [SECONDS] [bmp gif jpeg png webp tiff heif metafile]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(bmp gif jpeg png webp tiff heif)
[ -f tests/fuzz/metafile_fuzzer.cpp ] && [ $# -eq 0 ] && targets+=(metafile)

command -v clang++ >/dev/null || { echo "clang++ is needed (apt-get install clang libclang-rt-14-dev)" >&2; exit 1; }
sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS="$sanitizers" -DCMAKE_CXX_FLAGS="$sanitizers" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DPICTORANT_FUZZ=ON -DPICTORANT_BUILD_UI=OFF -DPICTORANT_BUILD_BENCH=OFF >/dev/null
for t in "${targets[@]}"; do
    cmake --build build-fuzz -j"$(nproc)" --target "${t}_fuzzer"
done

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/devtools/fuzz/lsan.supp:print_suppressions=0"
python3 devtools/fuzz/make_seeds.py build-fuzz/seeds
mkdir -p build-fuzz/findings
status=0
for t in "${targets[@]}"; do
    corpus=build-fuzz/corpus/$t
    mkdir -p "$corpus" "build-fuzz/seeds/$t"
    echo "== $t: $seconds s"
    # The suites are read as seed folders; only new inputs are written to $corpus.
    if ! taskset -c 0 "build-fuzz/tests/fuzz/${t}_fuzzer" -max_total_time="$seconds" \
        -rss_limit_mb=2048 -timeout=60 -max_len=1048576 \
        -artifact_prefix="build-fuzz/findings/${t}-" \
        "$corpus" "build-fuzz/seeds/$t" "tests/data/$t" 2>&1 | tail -n 5; then
        status=1
    fi
done
exit $status
