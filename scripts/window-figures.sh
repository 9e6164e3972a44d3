#!/usr/bin/env bash
# The show in a window on a virtual display, on the wall clock as a viewer
# watches it, summed up per scene: frames a second (from the statistics
# lines), the render scales it was drawn at (from the adaptive rule's
# lines) and the share of statistics lines under 58 frames a second.
#   scripts/window-figures.sh [WIDTHxHEIGHT]     (default 960x640)
# Needs the release build, Xvfb and python3; takes the show's 185 s.
set -euo pipefail
cd "$(dirname "$0")/.."
size="${1:-960x640}"
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 "$(echo "$size" | awk -Fx '{ print $1 + 64 "x" $2 + 64 }')x24" >/dev/null 2>&1 &
xvfb=$!
sleep 1
echo "window $size, $(nproc) cores, load before: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
DISPLAY="$display" SDL_VIDEO_WINDOW_POS=0,0 build/kestrel.app/kestrel >"$work/out" 2>"$work/err"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
grep -o '^\[[0-9.]* DEMOTIME | [0-9]* FRAMES | [0-9.]* SECONDS | [0-9.]* FPS\]' "$work/out" |
  awk '{ print substr($1, 2), $(NF - 1) }' >"$work/lines"
times=$(awk '{ printf "%s%s", sep, $1; sep = "," }' "$work/lines")
build/scene-at 60 "$times" >"$work/scenes"
grep -o 'render scale [0-9.]*, was [0-9.]*, at [0-9.]* s' "$work/err" >"$work/scales" || true
python3 - "$work" <<'PY'
import sys, collections
work = sys.argv[1]
lines = [l.split() for l in open(f"{work}/lines")]
scenes = [l.split()[2].split("+")[-1] for l in open(f"{work}/scenes")]
# "render scale X, was Y, at T s": the scale drawn from T on, and before the first change Y.
changes = []
for l in open(f"{work}/scales"):
    words = l.replace(",", "").split()
    changes.append((float(words[-2]), float(words[2]), float(words[4])))
per = collections.defaultdict(lambda: {"fps": [], "scales": collections.Counter()})
for (t, fps), scene in zip(lines, scenes):
    t = float(t)
    drawn = changes[0][2] if changes else "the window's"
    for at, scale, _ in changes:
        if at <= t:
            drawn = scale
    per[scene]["fps"].append(float(fps))
    per[scene]["scales"][drawn] += 1
under = sum(1 for _, fps in lines if float(fps) < 58)
total = sum(len(p["fps"]) for p in per.values())
print(f"{'scene':14} {'lines':>5} {'mean fps':>9} {'lowest':>7}  scales drawn at (lines)")
for scene, p in sorted(per.items()):
    scales = ", ".join(f"{s} ({n})" for s, n in p["scales"].most_common())
    print(f"{scene:14} {len(p['fps']):5} {sum(p['fps']) / len(p['fps']):9.1f} {min(p['fps']):7.1f}  {scales}")
print(f"{under} of {total} statistics lines under 58 frames a second; {len(changes)} scale changes")
PY
