#!/usr/bin/env bash
# first_start.sh QUILLORY: a new user's first start shows the window with the default project in its
# caption, and the data folder holds the working buffer and the default project with "Wibble".
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init first_start
start_x_session
start_quillory "$1"

data=$HOME/Documents/Quillory
expected="Quillory - $data/MyStuff.qlyp.dir"
window=$(wait_for_main_window) || fail "no window titled 'Quillory - ...' appeared"
wait_for "$E2E_TIMEOUT" title_is "$window" "$expected" ||
    fail "caption is '$(window_title "$window")', expected '$expected'"
wait_for "$E2E_TIMEOUT" is_mapped "$window" || fail "the window is not shown"
screenshot first-start

[[ -d $data/Buffer ]] || fail "no working buffer at $data/Buffer"
[[ -f $data/MyStuff.qlyp.dir/Wibble ]] || fail "no default item at $data/MyStuff.qlyp.dir/Wibble"
quillory_running || fail "the program ended"
echo "PASS: first start"
