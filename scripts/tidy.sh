#!/usr/bin/env bash
# clang-tidy over every source of src/ with the checks .clang-tidy names, against a configured
# and built tree (its compile commands and generated headers): build/asan unless one is given.
# Prints the findings and exits non-zero when there is any.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/asan}
if ! command -v run-clang-tidy >/dev/null; then
    echo "tidy: run-clang-tidy not found, skipped"
    exit 0
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
run-clang-tidy -p "$build" -j "$(nproc)" -quiet "$PWD/src/.*\\.cpp\$" >"$log" 2>&1 || status=1
# The run's own chatter (commands, counts of suppressed warnings) is noise; the findings are not.
sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -E '(error|warning):' || true
if ((status == 0)); then
    echo "tidy: no findings"
else
    echo "tidy: findings above"
fi
exit $status
