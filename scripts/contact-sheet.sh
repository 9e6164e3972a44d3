#!/usr/bin/env bash
# Renders the contact sheet in docs/contact/: two frames of every scene,
# upright as the window shows them, headless on the fixed clock. Before
# rendering, the timeline itself (build/scene-at, which reads the beat tables
# frame by frame as the show does) confirms that each frame draws only the
# scene its row names; a frame that does not ends the script with status 1.
set -euo pipefail
cd "$(dirname "$0")/.."
out=docs/contact
fps=60
# A scene (its class name) and two show times, as the README's table lists them.
sheet=(
  "scene1 5 22"
  "crystalGrowth 35.5 70.9"
  "particleScene 88 97"
  "overlay 128 136"
  "manetjakt 145 175"
  "tunnel 58.9 160.3"
  "sawblade 116 121.5"
  "robot 77.4 154.9"
)
cmake --preset default >/dev/null
cmake --build --preset default --target kestrel scene-at -j"$(nproc)" >/dev/null

declare -A named
for row in "${sheet[@]}"; do
  read -r scene first second <<<"$row"
  named[$first]=$scene
  named[$second]=$scene
done
times=$(printf '%s\n' "${!named[@]}" | sort -g | paste -sd,)
wrong=0
while read -r time frame drawn; do
  # Scenes drawn over each other in one frame are joined by "+".
  if [ "$(tr + '\n' <<<"$drawn" | sort -u)" != "${named[$time]}" ]; then
    echo "contact-sheet: the frame at $time s ($frame s) draws $drawn, not ${named[$time]}" >&2
    wrong=1
  fi
  unset "named[$time]"
done < <(build/scene-at "$fps" "$times")
for time in "${!named[@]}"; do
  echo "contact-sheet: $time s is not in the show" >&2
  wrong=1
done
[ "$wrong" = 0 ] || exit 1

rm -rf "$out"
build/kestrel.app/kestrel --headless --fixed-fps "$fps" --upright --shot "$times" --out "$out" >/dev/null
ls "$out"
