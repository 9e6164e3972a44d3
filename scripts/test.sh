#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the release build (warnings
# as errors), the AddressSanitizer + UndefinedBehaviorSanitizer build, and
# the web page in a headless browser against the native frames. The release
# build's tests include installing the program and building and checking
# its Debian package.
# Every stage runs even when one before it failed, so that one failure does
# not hide another; the summary at the end names each stage's outcome, and
# the status is 0 only when all passed. The browser test compares with the
# release program, so it is skipped (and counts as failed) without one.
set -uo pipefail
cd "$(dirname "$0")/.."
if ! bash scripts/setup.sh package; then
  echo "== setup failed: the packages above could not be installed" >&2
  exit 1
fi
summary=()
failed=0
# Runs one stage, `name command...`, and notes its outcome.
stage() {
  local name="$1"
  shift
  echo "== $name" >&2
  if "$@"; then
    summary+=("passed  $name")
  else
    summary+=("FAILED  $name (status $?)")
    failed=1
  fi
}
# The build's own lines would bury the tests'; its errors still show.
quiet_build() { bash scripts/build.sh "$1" >/dev/null; }
for preset in default sanitize; do
  stage "$preset: build" quiet_build "$preset"
  if [ "${summary[-1]:0:6}" = passed ]; then
    stage "$preset: tests" ctest --preset "$preset" -j"$(nproc)"
  else
    summary+=("FAILED  $preset: tests (not run: no build)")
  fi
done
if [ -x build/kestrel.app/kestrel ]; then
  stage "web: build and browser test" bash scripts/web-test.sh
else
  summary+=("FAILED  web: build and browser test (not run: no release program to compare with)")
  failed=1
fi
echo "== summary" >&2
printf '%s\n' "${summary[@]}" >&2
exit "$failed"
