#!/usr/bin/env bash
# Runs a Windows program under Wine for the test run (the cross build's emulator).
#
# On a loaded machine Wine now and then fails to start a program at all: it exits at once,
# with no output and a failure status. That says nothing about the program, so a start that
# never reached the program's main() is tried again, twice at most. A test that ran and
# failed is never repeated. The test programs announce main() with GoogleTest's banner.
set -uo pipefail

out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

for attempt in 1 2 3; do
    wine "$@" >"$out" 2>"$err"
    status=$?
    if ((status == 0)) || grep -q '^Running main() from' "$out" || ((attempt == 3)); then
        break
    fi
    echo "wine-run: $1 did not start (exit $status); starting it again" >&2
    cat "$err" >&2
    sleep 1
done
cat "$out"
cat "$err" >&2
exit "$status"
