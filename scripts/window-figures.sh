#!/usr/bin/env bash
# The show fullscreen on a virtual display of exactly the size asked for,
# under a window manager, on the wall clock as a viewer watches it, summed
# up per scene: frames a second (from the statistics lines), the render
# scales it was drawn at (from the window's and the adaptive rule's lines)
# and the share of statistics lines under 58 frames a second. It refuses to
# give figures when the window was drawn at another size than the one
# named, as the program's own line and the X server both tell.
#   scripts/window-figures.sh [WIDTHxHEIGHT]     (default 960x640)
# Needs the release build; installs Xvfb and a window manager; takes the
# show's 185 s.
set -euo pipefail
cd "$(dirname "$0")/.."
size="${1:-960x640}"
width="${size%x*}"
height="${size#*x}"
bash scripts/setup.sh figures
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb -displayfd 1 -screen 0 "${size}x24" >"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
unset WAYLAND_DISPLAY
openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)," \
  "load before: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
build/kestrel.app/kestrel --fullscreen >"$work/out" 2>"$work/err" &
show=$!
pids+=($show)
# The size the program drew for last, once the window manager had made it
# fullscreen, and the window's size as the X server has it.
for _ in $(seq 600); do
  grep -q "drawing for a window of $width x $height" "$work/err" && break
  kill -0 "$show" 2>/dev/null || break
  sleep 0.1
done
drawn=$(grep -o 'drawing for a window of [0-9]* x [0-9]*' "$work/err" | tail -1 | awk '{ print $6 "x" $8 }')
geometry=$(xwininfo -name kestrel 2>/dev/null | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
if [ "$drawn" != "$size" ] || [ "$geometry" != "$size" ]; then
  echo "window-figures: asked for $size, but the program drew for ${drawn:-nothing} in a window of" \
    "${geometry:-no size} (X server); no figures" >&2
  exit 1
fi
echo "drawn for $drawn, the window $geometry on the X server" >&2
wait "$show"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
grep -o '^\[[0-9.]* DEMOTIME | [0-9]* FRAMES | [0-9.]* SECONDS | [0-9.]* FPS\]' "$work/out" |
  awk '{ print substr($1, 2), $(NF - 1) }' >"$work/lines"
times=$(awk '{ printf "%s%s", sep, $1; sep = "," }' "$work/lines")
build/scene-at 60 "$times" >"$work/scenes"
first=$(grep -o 'drawing for a window of [0-9]* x [0-9]*, at render scale [0-9.]*' "$work/err" | tail -1 | awk '{ print $NF }')
grep -o 'render scale [0-9.]*, was [0-9.]*, at [0-9.]* s' "$work/err" >"$work/scales" || true
python3 - "$work" "$first" <<'PY'
import sys, collections
work, first = sys.argv[1], float(sys.argv[2])
lines = [l.split() for l in open(f"{work}/lines")]
scenes = [l.split()[2].split("+")[-1] for l in open(f"{work}/scenes")]
# "render scale X, was Y, at T s": the scale drawn from T on; before the first change, the window's.
changes = []
for l in open(f"{work}/scales"):
    words = l.replace(",", "").split()
    changes.append((float(words[-2]), float(words[2])))
per = collections.defaultdict(lambda: {"fps": [], "scales": collections.Counter()})
for (t, fps), scene in zip(lines, scenes):
    t = float(t)
    drawn = first
    for at, scale in changes:
        if at <= t:
            drawn = scale
    per[scene]["fps"].append(float(fps))
    per[scene]["scales"][drawn] += 1
under = sum(1 for _, fps in lines if float(fps) < 58)
total = sum(len(p["fps"]) for p in per.values())
print(f"{'scene':14} {'lines':>5} {'mean fps':>9} {'lowest':>7}  scales drawn at (lines)")
for scene, p in sorted(per.items()):
    scales = ", ".join(f"{s:g} ({n})" for s, n in p["scales"].most_common())
    print(f"{scene:14} {len(p['fps']):5} {sum(p['fps']) / len(p['fps']):9.1f} {min(p['fps']):7.1f}  {scales}")
print(f"{under} of {total} statistics lines under 58 frames a second; {len(changes)} scale changes:",
      ", ".join(f"{s:g} at {at:.1f} s" for at, s in changes))
PY
