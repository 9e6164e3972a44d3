#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the release build (warnings
# as errors), the AddressSanitizer + UndefinedBehaviorSanitizer build, and
# the web page in a headless browser against the native frames. The release
# build's tests include installing the program and building and checking
# its Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh package
for preset in default sanitize; do
  echo "== $preset: build" >&2
  bash scripts/build.sh "$preset" >/dev/null
  echo "== $preset: tests" >&2
  ctest --preset "$preset" -j"$(nproc)"
done
echo "== web: build and browser test" >&2
bash scripts/web-test.sh
