#!/usr/bin/env bash
# tray_fallback.sh QUILLORY GRABKEY: with "Start in System Tray" on, no tray and Ctrl+F1 held by
# another program, nothing could bring a hidden window back: the first tick minimises the window
# instead and says so in one box, and the window can be restored.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init tray_fallback
harness_require Xvfb openbox xdotool xprop wmctrl xwininfo xdpyinfo import
start_xvfb
start_openbox
QUILLORY=$1
GRABKEY=$2

data=$HOME/Documents/Quillory
project=$data/T.qlyp.dir
make_project "$project" Alpha="first page"
write_config "$project" Alpha
sed -i '8s/.*/1\r/' "$data/config" # Start in System Tray

"$GRABKEY" ctrl+F1 >"$E2E_TMP/grabkey.out" 2>&1 &
E2E_PIDS+=($!)
wait_for "$E2E_TIMEOUT" grep -qs grabbed "$E2E_TMP/grabkey.out" || fail "grabkey could not take Ctrl+F1"

iconic()
{
    xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'
}

start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window"
box=$(wait_for_window '^Information$') || fail "no box says where the window went"
wait_for "$E2E_TIMEOUT" iconic "$window" || fail "the window is not minimised: $(xprop -id "$window" WM_STATE)"
screenshot minimised-with-notice
focus_window "$box"
send_keys Return
wait_for "$E2E_TIMEOUT" visible_windows_are 0 '^Information$' || fail "OK did not close the box"
quillory_running || fail "the program ended"
xdotool windowactivate "$window" 2>/dev/null || wmctrl -i -a "$window"
wait_for "$E2E_TIMEOUT" is_mapped "$window" || fail "the minimised window could not be restored"
echo "PASS: minimised, not lost"
