#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs one of them:
#   scripts/fuzz.sh [mas|obj|particles|png] [SECONDS]     (default: mas, 600)
# Seeds are the data tree's own files of that kind (and, for scene files,
# the regression inputs). Findings land in build-fuzz/findings/TARGET/; keep
# each one as a regression input once it is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
target="${1:-mas}"
seconds="${2:-600}"
case "$target" in
  mas) patterns=(-name '*.mas') ;;
  obj) patterns=(-name '*.obj' -o -name '*.mtl') ;;
  particles) patterns=(-name '*.raw') ;;
  png) patterns=(-name '*.png') ;;
  *) echo "usage: scripts/fuzz.sh [mas|obj|particles|png] [SECONDS]" >&2; exit 2 ;;
esac
command -v clang++ >/dev/null || { apt-get update -qq && apt-get install -y -qq --no-install-recommends clang >/dev/null; }
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
corpus="build-fuzz/corpus/$target"
findings="build-fuzz/findings/$target"
mkdir -p "$corpus" "$findings"
find build-fuzz/kestrel.app/FxData tests/data/mas-regressions \( "${patterns[@]}" \) -exec cp {} "$corpus"/ \; 2>/dev/null || true
export LP_NUM_THREADS=0 ASAN_OPTIONS=detect_leaks=0
# The loaders keep what they load for the life of the process (models,
# render lists, textures), so inputs run in child processes that are
# replaced from time to time: memory stays bounded.
exec "build-fuzz/fuzz/kestrel_${target}_fuzzer" -fork=1 -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -rss_limit_mb=4096 -artifact_prefix="$findings/" "$corpus"
