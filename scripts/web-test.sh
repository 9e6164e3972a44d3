#!/usr/bin/env bash
# The browser test: builds the web page (scripts/web.sh), plays it in
# Debian's headless Chromium on a fixed clock and compares its frames with
# the native program's headless shots of the same show times; checks the
# music and the console (tests/web/browser-test.js). About two minutes once
# both are built.
#   scripts/web-test.sh            the test
#   scripts/web-test.sh measure [FPS | wall] [WIDTHxHEIGHT]
#                                  the page's figures instead (bench/measure-page.js):
#                                  on a fixed clock (default 60) or the wall clock
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/web.sh
if [ "${1:-}" = measure ]; then
  exec node bench/measure-page.js build-web "${2:-60}" "${3:-480x320}"
fi
exec node tests/web/browser-test.js build-web build/kestrel.app/kestrel
