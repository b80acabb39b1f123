#!/usr/bin/env bash
# Installs the Debian packages that building, playing and testing need, skipping what is present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev
  libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  libzip-dev
  libstk-dev
  libstb-dev
  fonts-dejavu-core
  ffmpeg
  googletest libgtest-dev libgmock-dev
  xvfb xauth
  desktop-file-utils man-db file
  emscripten chromium
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}" >&2
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
