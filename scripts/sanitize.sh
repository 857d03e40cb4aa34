#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer into build-asan/ and runs every test there;
# any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --no-build

flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build build-asan --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure --no-tests=error --parallel "$(nproc)"
