#!/usr/bin/env bash
# Installs every Debian package that building, testing and benchmarking Corvane needs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-image-formats-plugins
  libmagick++-6.q16-dev libmagickcore-6.q16-6-extra
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  xvfb xauth fonts-dejavu-core
  python3 python3-ezdxf python3-pil
  clang libclang-rt-14-dev
  libturbojpeg0-dev libjpeg62-turbo-dev libpng-dev libtiff-dev
  assimp-utils xdotool imagemagick
  libassimp-dev admesh
  linuxcnc-uspace  # rs274, LinuxCNC's interpreter: the tests run our programs through it
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
