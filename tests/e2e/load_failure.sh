#!/usr/bin/env bash
# load_failure.sh QUILLORY: a config naming a project that was deleted opens the default project and
# shows exactly one information box about it, although the ticks go on under the box.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init load_failure
start_x_session

data=$HOME/Documents/Quillory
gone=$data/Gone.qlyp.dir
make_project "$gone" Alpha=one Beta=two
write_config "$gone" Alpha
rm -rf "$gone"

start_quillory "$1"
window=$(wait_for_main_window) || fail "no main window"
box=$(wait_for_window '^Information$') || fail "no information box appeared"
screenshot load-failure-box
# Twenty ticks and more: still the one box.
holds_for 1 visible_windows_are 1 '^Information$' || fail "$(count_visible_windows '^Information$') boxes"
title_is "$window" "Quillory - $data/MyStuff.qlyp.dir" ||
    fail "caption is '$(window_title "$window")', not the default project"
[[ -f $data/MyStuff.qlyp.dir/Wibble ]] || fail "the default project was not created"
# The box's text is not readable from outside through X; the window tests check that it names $gone.

focus_window "$box"
send_keys Return
wait_for "$E2E_TIMEOUT" visible_windows_are 0 '^Information$' || fail "OK did not close the box"
holds_for 1 visible_windows_are 0 '^Information$' || fail "a second box appeared"
quillory_running || fail "the program ended"
echo "PASS: one load-failure box"
