#!/usr/bin/env bash
# Installs every Debian package the build, the show and the tests need.
# Idempotent: when everything is already there it prints nothing and
# does not touch the package lists.
#   scripts/setup.sh        the native build, the show and its tests
#   scripts/setup.sh web    also the web page's build and its browser test
#   scripts/setup.sh package  also the Debian package's build and its checks
#   scripts/setup.sh figures  also the window manager of scripts/window-figures.sh
# The words may be given together.
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
web=""
package=""
for word in "$@"; do
  case "$word" in
    web) web=web ;;
    package) package=package ;;
    figures) packages+=(openbox python3) ;;
    *) echo "usage: scripts/setup.sh [web] [package] [figures]" >&2; exit 2 ;;
  esac
done
if [ "$package" = package ]; then
  packages+=(dpkg-dev lintian desktop-file-utils appstream man-db)
fi
if [ "$web" = web ]; then
  packages+=(emscripten libstb-dev chromium nodejs)
  # A Node from elsewhere brings its own npm.
  command -v npm >/dev/null || packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  echo "setup: installing ${missing[*]}" >&2
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The browser test's driver comes from npm into the test's own folder; it
# downloads no browser (the test uses Debian's chromium).
modules="$(dirname "$0")/../tests/web"
if [ "$web" = web ] && [ ! -d "$modules/node_modules/puppeteer-core" ]; then
  echo "setup: installing the browser test's Node modules" >&2
  (cd "$modules" && npm ci --no-audit --no-fund --loglevel=error >&2)
fi
