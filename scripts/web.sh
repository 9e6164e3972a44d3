#!/usr/bin/env bash
# The show as a web page, built with Debian's emscripten into build-web/:
# kestrel.html with its .js, .wasm and .data (the data tree and the music,
# preloaded at the bundle's own paths).
#   scripts/web.sh                 builds the page
#   scripts/web.sh serve [PORT]    builds when needed, then serves it on
#                                  127.0.0.1 (default port 8000)
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-build}"
case "$mode" in
  build | serve) ;;
  *) echo "usage: scripts/web.sh [serve [PORT]]" >&2; exit 2 ;;
esac
port="${2:-8000}"
# Said before a build that may take minutes; the server checks the rest.
if [ "$mode" = serve ] && ! [[ "$port" =~ ^[0-9]{1,5}$ ]]; then
  echo "serve: the port must be a number from 1 to 65535, not '$port'" >&2
  exit 2
fi
bash scripts/setup.sh web
# Debian's emscripten finds its Node modules only there when Node is not Debian's.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
# The data generator is a native program: the native build makes the data
# tree and the overlay's drawings that the page is built from.
cmake --preset default >/dev/null
cmake --build --preset default --target kestrel -j"$(nproc)" >/dev/null
if [ ! -f build-web/CMakeCache.txt ]; then
  emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DKESTREL_TESTS=OFF \
    -DKESTREL_NATIVE_BUILD="$PWD/build" >/dev/null
fi
cmake --build build-web -j"$(nproc)" >/dev/null
[ "$mode" = serve ] || exit 0
exec node tests/web/server.js build-web "$port"
