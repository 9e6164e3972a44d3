#!/usr/bin/env bash
# Builds the MAS importer's fuzz target with clang and runs it:
#   scripts/fuzz.sh [SECONDS]        (default 600)
# Seeds: the generated scenes of the data tree and the regression inputs.
# Findings land in build-fuzz/findings/; keep each one under
# tests/data/mas-regressions/ once it is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
corpus=build-fuzz/corpus
mkdir -p "$corpus" build-fuzz/findings
find build-fuzz/kestrel.app/FxData tests/data/mas-regressions -name '*.mas' -exec cp {} "$corpus"/ \; 2>/dev/null || true
export LP_NUM_THREADS=0 ASAN_OPTIONS=detect_leaks=0
build-fuzz/fuzz/kestrel_mas_fuzzer -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=4096 \
  -artifact_prefix=build-fuzz/findings/ "$corpus"
