#!/usr/bin/env bash
# Installs every Debian package the build, the show and the tests need.
# Idempotent: when everything is already there it prints nothing and
# does not touch the package lists.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libegl-dev libgles-dev libegl-mesa0 libgl1-mesa-dri
  libpng-dev libmpg123-dev libmp3lame-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  ffmpeg
)
# Only the tests use these: a virtual display server for the window's tests,
# and the tools that find the window and press its keys.
packages+=(xvfb x11-utils xdotool)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
echo "setup: installing ${missing[*]}" >&2
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
