#!/usr/bin/env bash
# Installs every Debian package the client, its server, tests and benchmarks
# need, and the tools that build and check the Debian package. Quick when
# everything is present; needs root (or sudo) otherwise.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libogre-1.12-dev libois-dev libasio-dev libboost-dev libboost-date-time-dev
  libcurl4-openssl-dev zlib1g-dev libjpeg-dev libimgui-dev fonts-dejavu-core
  libcli11-dev libcpp-httplib-dev
  dpkg-dev file lintian
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xdotool x11-utils libgl1-mesa-dri
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
