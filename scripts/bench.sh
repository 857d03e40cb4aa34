#!/usr/bin/env bash
# Sets up and builds, then runs the benchmarks (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
QT_QPA_PLATFORM=offscreen build/bench/textsizes_bench "$@"
