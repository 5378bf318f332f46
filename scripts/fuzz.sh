#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang in build-fuzz/ and runs each for SECONDS
# seconds (default 30), starting from its seed corpus in fuzz/corpus/. New inputs go to
# build-fuzz/corpus/, never into the committed seeds; an input that makes a harness fail is kept
# in build-fuzz/findings/ and stops the script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" -DVK_FUZZ=ON -DVK_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz -j2 --target vk_fuzzers

mkdir -p build-fuzz/findings
for seeds in fuzz/corpus/*/; do
    name=$(basename "$seeds")
    mkdir -p "build-fuzz/corpus/$name"
    echo "== $name, $seconds s"
    "build-fuzz/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$name-" \
        "build-fuzz/corpus/$name" "$seeds"
done
