#!/usr/bin/env bash
# Builds Beamworks with warnings as errors and runs every test, then does it all again with
# AddressSanitizer and UndefinedBehaviorSanitizer. Everything runs headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install_deps.sh"
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -DBEAMWORKS_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

# The window test, the installation test and the fuzzers run once, in the normal build; the
# long soak runs in full under the sanitizers, and shortened here.
echo "== normal build =="
BEAMWORKS_SOAK_PASSES=20000 \
  run_suite "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBEAMWORKS_SHIPPING_CHECKS=ON
echo "== sanitizer build =="
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DBEAMWORKS_SANITIZE=ON
