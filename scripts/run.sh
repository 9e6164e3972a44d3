#!/usr/bin/env bash
# Sets up, builds and plays the show: in a window when a display exists,
# headless otherwise. Only the program and its data are built (the tests and
# benchmarks are scripts/test.sh's); the build's progress goes to standard
# error, so standard output stays the show's. Extra arguments go to the
# program.
set -euo pipefail
cd "$(dirname "$0")/.."
say() { echo "run: $*" >&2; }
say "checking the packages the build needs"
bash scripts/setup.sh
say "configuring the build in build/"
cmake --preset default >/dev/null
say "building the program and its data (a few minutes the first time)"
cmake --build --preset default --target kestrel -j"$(nproc)" >&2
say "starting build/kestrel.app/kestrel${*:+ $*}"
exec build/kestrel.app/kestrel "$@"
