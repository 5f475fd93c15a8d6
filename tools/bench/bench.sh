#!/usr/bin/env bash
# The benchmark: headless figures (start-up, CPU per pass on the heaviest scenes, memory), then
# window figures on an Xvfb display (start-up, idle CPU, memory). Prints figures; asserts nothing.
#
#   tools/bench/bench.sh [BUILD_DIR]     (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cmake --build "$build" --target bench_headless game_folder -j"$(nproc)" >/dev/null
"$build/tools/bench/bench_headless" "$build/game"
python3 "$root/tools/bench/window_bench.py" "$build"
