#!/usr/bin/env bash
# Renders the reference frames anew into tests/data/reference/, for when a
# change is meant to alter the show's pictures. Every time listed in
# tests/data/reference/frames.txt is rendered in one run of the release
# build, as the reference test renders it. Look at every new picture (and at
# `git diff --stat tests/data/reference`) before committing: a reference is
# only worth what the person who looked at it saw.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh default >/dev/null
references=tests/data/reference
times=$(grep -v '^#' "$references/frames.txt" | awk 'NF { printf "%s%s", sep, $1; sep = "," }')
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if ! build/kestrel.app/kestrel --headless --fixed-fps 30 --upright --shot "$times" --out "$scratch" \
    >/dev/null 2>"$scratch/log"; then
  cat "$scratch/log" >&2
  exit 1
fi
rm -f "$references"/shot_*.png
cp "$scratch"/shot_*.png "$references"/
echo "update-references: $(ls "$references"/shot_*.png | wc -l) frames written to $references" >&2
