#!/usr/bin/env bash
# Installs the Debian packages Velmora needs to build, run and test.
# Only runs apt-get when something is missing, and only as root.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libx11-dev libxext-dev libfreetype-dev libfontconfig-dev libjpeg62-turbo-dev zlib1g-dev libpng-dev
  libgtest-dev libbenchmark-dev
  fonts-dejavu-core fonts-wine fonts-liberation2
  xvfb xauth x11-utils x11-xkb-utils xkb-data xdotool openbox
  libjpeg-turbo-progs imagemagick xclip
)
if [ "${1:-}" = "--fuzz" ]; then packages+=(clang libclang-rt-14-dev); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages (run as root to install them): ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
