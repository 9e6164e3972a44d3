#!/usr/bin/env bash
# Sets up, builds and plays the show: in a window when a display exists,
# headless otherwise. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh default >/dev/null
exec build/kestrel.app/kestrel "$@"
