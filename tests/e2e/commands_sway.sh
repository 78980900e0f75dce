#!/usr/bin/env bash
# commands_sway.sh QUILLORY: on a Wayland desktop that offers no shortcuts portal (sway, headless),
# the desktop runs the hotkeys' commands itself (swaymsg exec, as a key binding would), and they
# act on the running program while another client has the focus: the copy reaches the Wayland
# clipboard, hide and show work, the list steps.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/desktops.sh"
unprivileged_rerun "$@"
harness_init commands_sway
harness_require wl-paste wl-copy
QUILLORY=$1

data=$HOME/Documents/Quillory
project=$data/S.qlyp.dir
make_project "$project" Alpha="First page text" Beta="Second page text"
write_config "$project" Alpha

start_session_bus
start_stand_in --tray --notifications
start_sway

# sway_runs OPTION: sway starts the command, as it does for a key bound to it, and the command
# returns (sway does not wait for it; the next one must not overtake it).
RUNS=0
sway_runs()
{
    RUNS=$((RUNS + 1))
    local script=$E2E_TMP/run-$RUNS.sh
    printf '"$1" "$2" >>"$3" 2>&1\necho "returned %s $?" >>"$3"\n' "$RUNS" >"$script"
    swaymsg exec "sh $script $QUILLORY $1 $E2E_OUT/commands.log" >/dev/null || fail "sway did not run $1"
    wait_for "$E2E_TIMEOUT" grep -q "^returned $RUNS " "$E2E_OUT/commands.log" || fail "quillory $1 did not return"
    grep -q "^returned $RUNS 0$" "$E2E_OUT/commands.log" || fail "quillory $1 failed: $(cat "$E2E_OUT/commands.log")"
}

start_quillory_native "$QUILLORY"
wait_for "$E2E_TIMEOUT" sway_shows "Quillory - " || fail "no main window on sway"
wait_for "$E2E_TIMEOUT" logged "^notify System-wide hotkeys need the desktop's GlobalShortcuts portal" ||
    fail "no notice that this session passes no keys: $(grep notify "$STAND_IN_LOG")"
start_other_client
wait_for "$E2E_TIMEOUT" sway_focused_app_is_not "^Quillory" || fail "the other client did not take the focus"

printf 'nothing copied yet' | wl-copy --type text/plain # as typed, whatever a MIME guesser makes of it
wait_for "$E2E_TIMEOUT" pasted_is "nothing copied yet" text/plain || fail "could not seed the clipboard"
sway_runs --copy
wait_for "$E2E_TIMEOUT" pasted_is "First page text" text/plain ||
    fail "after --copy the clipboard holds '$(pasted text/plain)'"
sway_focused_app_is_not "^Quillory" || fail "the copy took the focus from the other client"

sway_runs --next
sway_runs --copy
wait_for "$E2E_TIMEOUT" pasted_is "Second page text" text/plain ||
    fail "after --next, --copy the clipboard holds '$(pasted text/plain)'"
sway_runs --hide
wait_for "$E2E_TIMEOUT" eval '! sway_shows "Quillory - "' || fail "--hide did not hide the window"
sway_runs --show
wait_for "$E2E_TIMEOUT" sway_shows "Quillory - " || fail "--show did not bring the window back"
quillory_running || fail "the program ended"
echo "PASS: commands_sway"
