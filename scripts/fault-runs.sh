#!/usr/bin/env bash
# Plays the show once for every data file of the bundle with that file
# missing, and once with it cut to half its size, headless on a coarse fixed
# clock. Every run must end with status 0, except that without one of the
# post-process shaders there is no usable data tree (status 1); the table
# says whether the output names the file. Needs a built tree (scripts/build.sh).
#   scripts/fault-runs.sh [FILTER]    only files whose path contains FILTER
set -uo pipefail
cd "$(dirname "$0")/.."
bundle=build/kestrel.app
filter="${1:-}"
work=$(mktemp -d /tmp/kestrel-faults-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
printf '%-48s %-8s %-6s %s\n' file fault status reported
while IFS= read -r file; do
  case "$file" in *"$filter"*) ;; *) continue ;; esac
  for fault in missing half; do
    rm -rf "$work/kestrel.app"
    cp -r "$bundle" "$work/kestrel.app"
    target="$work/kestrel.app/$file"
    if [ "$fault" = missing ]; then
      rm -f "$target"
    else
      truncate -s $(( $(stat -c %s "$target") / 2 )) "$target"
    fi
    "$work/kestrel.app/kestrel" --headless --fixed-fps 2 >"$work/log" 2>&1
    status=$?
    reported=no
    grep -qF "$(basename "$file")" "$work/log" && reported=yes
    expected=0
    case "$fault/$file" in missing/FxData/Common/PostProcess*) expected=1 ;; esac
    [ "$status" -ne "$expected" ] && failures=$((failures + 1))
    printf '%-48s %-8s %-6s %s\n' "$file" "$fault" "$status" "$reported"
  done
done < <(cd "$bundle" && find . -type f ! -name kestrel | sed 's|^\./||' | sort)
echo "$failures runs ended with another status than expected"
[ "$failures" -eq 0 ]
