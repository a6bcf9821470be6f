#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Vantrel need.
set -euo pipefail
packages=(
  build-essential cmake ninja-build
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libeigen3-dev nlohmann-json3-dev
  fonts-dejavu-core fonts-liberation
  python3-scipy ghdl iverilog verilator yosys nextpnr-ice40 xvfb xauth
  desktop-file-utils appstream dpkg-dev man-db poppler-utils
  clang libclang-rt-14-dev universal-ctags
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get -o DPkg::Lock::Timeout=600 update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q \
  --no-install-recommends "${missing[@]}"
