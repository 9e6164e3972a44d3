#!/usr/bin/env bash
# Builds the Debian package: build/kestrel_VERSION_ARCH.deb, with the
# program in /usr/bin, its music and data tree in /usr/share/kestrel, a
# desktop entry, an icon, AppStream metadata and a manual page.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh package
bash scripts/build.sh default >/dev/null
cpack --config build/CPackConfig.cmake -B build >&2
ls build/kestrel_*.deb
