#!/usr/bin/env bash
# Builds Beamworks (installing what is missing) and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install_deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target game_folder -j"$(nproc)"
exec "$root/build/game/beamworks" "$@"
