#!/usr/bin/env bash
# Checks that every relative link and picture in README.md and docs/*.md
# points to a file or folder that exists, taken from the page's own folder.
# Links to other sites (http, https, mailto) and links to a place in the same
# page (#...) are left alone; a link's #place is dropped before the check.
# Fenced code blocks and `code` spans are not links.
#   scripts/check-links.sh [SOURCE_DIR]    (default: the tree holding this script)
# Prints each broken link as PAGE:LINE: TARGET and exits with status 1 when
# there is one, 2 when a page cannot be read.
set -euo pipefail
root="${1:-$(dirname "$0")/..}"
cd "$root"

pages=(README.md)
shopt -s nullglob
pages+=(docs/*.md)
shopt -u nullglob

broken=0
checked=0
for page in "${pages[@]}"; do
  if [ ! -r "$page" ]; then
    echo "check-links: cannot read $page" >&2
    exit 2
  fi
  dir=$(dirname "$page")
  # Each link as LINE<tab>TARGET: inline links and pictures, [text](target)
  # and ![alt](target), with an optional "title"; reference definitions,
  # [name]: target; and HTML src="..." and href="...".
  while IFS=$'\t' read -r line target; do
    [ -n "$target" ] || continue
    case "$target" in
      http://* | https://* | mailto:* | '#'*) continue ;;
    esac
    path="${target%%#*}"
    path="${path%%\?*}"
    [ -n "$path" ] || continue
    checked=$((checked + 1))
    if [ "${path#/}" != "$path" ]; then
      resolved=".$path"  # a leading / is the top of the tree
    else
      resolved="$dir/$path"
    fi
    if [ ! -e "$resolved" ]; then
      echo "$page:$line: $target" >&2
      broken=$((broken + 1))
    fi
  done < <(awk '
    /^[ \t]*(```|~~~)/ { fenced = !fenced; next }
    fenced { next }
    {
      text = $0
      gsub(/`[^`]*`/, "", text)
      rest = text
      while (match(rest, /\]\([^)]*\)/)) {
        target = substr(rest, RSTART + 2, RLENGTH - 3)
        rest = substr(rest, RSTART + RLENGTH)
        sub(/^[ \t]*</, "", target); sub(/>[ \t]*$/, "", target)
        sub(/[ \t]+("[^"]*"|'\''[^'\'']*'\'')[ \t]*$/, "", target)
        gsub(/^[ \t]+|[ \t]+$/, "", target)
        print NR "\t" target
      }
      if (match(text, /^[ \t]*\[[^]]+\]:[ \t]*[^ \t]+/)) {
        target = text
        sub(/^[ \t]*\[[^]]+\]:[ \t]*/, "", target)
        sub(/[ \t].*$/, "", target)
        sub(/^</, "", target); sub(/>$/, "", target)
        print NR "\t" target
      }
      rest = text
      while (match(rest, /(src|href)="[^"]*"/)) {
        target = substr(rest, RSTART, RLENGTH)
        rest = substr(rest, RSTART + RLENGTH)
        sub(/^(src|href)="/, "", target); sub(/"$/, "", target)
        print NR "\t" target
      }
    }' "$page")
done

if [ "$broken" -gt 0 ]; then
  echo "check-links: $broken broken of $checked relative links in ${#pages[@]} pages" >&2
  exit 1
fi
echo "check-links: $checked relative links in ${#pages[@]} pages, all there"
