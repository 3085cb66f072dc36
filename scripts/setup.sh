#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with, only those that are missing.
# Safe to run again: a machine that has everything is left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools
  qt6-webengine-dev qt6-webengine-dev-tools qt6-webchannel-dev
  qt6-translations-l10n
  libqt6opengl6-dev libgl-dev
  libcurl4-openssl-dev libpugixml-dev libgumbo-dev libcpp-httplib-dev
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-wqy-microhei
  clang-format clang-tidy
  # The benchmark scripts in bench/: curl as the yardstick, /usr/bin/time for peak memory, bc.
  curl time bc
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
