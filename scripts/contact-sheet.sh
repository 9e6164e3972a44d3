#!/usr/bin/env bash
# Renders the contact sheet in docs/contact/: two frames of every scene,
# upright as the window shows them, headless on the fixed clock, from a
# built tree (scripts/build.sh first).
set -euo pipefail
cd "$(dirname "$0")/.."
out=docs/contact
times=5,22,35,45,60,69,88,97,109,112,116,128,136,145,155,175
rm -rf "$out"
build/kestrel.app/kestrel --headless --fixed-fps 60 --upright --shot "$times" --out "$out" >/dev/null
ls "$out"
