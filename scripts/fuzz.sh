#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for FUZZ_SECONDS (default 60)
# from the committed seed corpus. Any crash, leak, hang or oversized
# allocation fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
EXTRA_PACKAGES="clang libclang-rt-dev" scripts/setup.sh --no-build

seconds=${FUZZ_SECONDS:-60}
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DPLAXOMET_TOOLKIT=none -DPLAXOMET_LIBFUZZER=ON -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
cmake --build build-fuzz --parallel "$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in settings styles archive_string float_field; do
    mkdir -p "$work/$target"
    cp fuzz/corpus/$target/* "$work/$target/"
    echo "== ${target}_fuzz for ${seconds}s"
    # A single allocation over 64 MiB is a finding: no input here is that large.
    build-fuzz/fuzz/${target}_fuzz "$work/$target" -max_total_time="$seconds" \
        -malloc_limit_mb=64 -rss_limit_mb=512 -timeout=10 -max_len=4096 \
        -print_final_stats=1 2>&1 | tee "$work/$target.log" | grep -E '^(Done|==|SUMMARY|stat::number_of_executed_units)' || true
    if ! grep -q '^Done ' "$work/$target.log"; then
        tail -n 40 "$work/$target.log"
        echo "${target}_fuzz found a problem" >&2
        exit 1
    fi
done
