#!/usr/bin/env bash
# Mutation testing: plants one fault at a time in the named sources and runs
# the tests that cover them (see scripts/mutate.py).
#   scripts/mutate.sh [PATH...] [--count N] [--seed S] [--out FILE] [--list]
set -euo pipefail
exec python3 "$(dirname "$0")/mutate.py" "$@"
