#!/usr/bin/env bash
# Installs what is missing, checks the tree's form (scripts/lint.sh), builds everything with
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test: core, window tests
# (offscreen), end-to-end tests (Xvfb and headless compositors), the fuzzers for a bounded time, and
# clang-tidy over the sources (last: beside the tests it would load the machine they measure).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
scripts/lint.sh

jobs=$(nproc)
# The "asan" preset (CMakePresets.json): RelWithDebInfo, both sanitizers, warnings as errors.
cmake --preset asan
cmake --build --preset asan -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
status=0
ctest --test-dir build/asan --output-on-failure -j "$jobs" || status=$?

if scripts/fuzz.sh; then :; else status=1; fi
if scripts/tidy.sh build/asan; then :; else status=1; fi
exit $status
