#!/usr/bin/env bash
# run_under_xvfb.sh COMMAND...: runs COMMAND against a private Xvfb (quick auto-repeat, so a held
# key repeats within a test's time); exits 77, skipped, when Xvfb or xdotool is missing.
set -uo pipefail
source "$(dirname "$0")/../e2e/harness.sh"
harness_init "$(basename "$1")"
harness_require Xvfb xdpyinfo xdotool
start_xvfb -ardelay 150 -arinterval 30
"$@"
