#!/usr/bin/env bash
# Installs the Debian packages that building, playing and testing Beamworks need.
# Idempotent: packages already installed are skipped, and apt is not touched at all when
# nothing is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libpng-dev libjpeg62-turbo-dev libvorbis-dev libogg-dev
  libcairo2-dev libfreetype-dev fonts-dejavu-core
  libgtest-dev libbenchmark-dev
  xvfb xdotool x11-utils clang libclang-rt-dev python3
  dpkg-dev lintian appstream file binutils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
