#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need.
# Idempotent: packages already present are skipped; quiet unless something is installed.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format
  libsdl2-dev zlib1g-dev libpng-dev libjpeg-dev
  libogg-dev libvorbis-dev libtheora-dev
  libfreetype-dev libfontconfig-dev fonts-ipafont-gothic
  libgtest-dev libgmock-dev libbenchmark-dev
  libpixman-1-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  libgl-dev libgl1-mesa-dri xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
