#!/usr/bin/env bash
# session_end.sh QUILLORY SESSION_MANAGER: the program under a session manager of the test's own.
# A checkpoint asks (interaction granted) and never ends the program; at a log-out Cancel calls the
# log-out off; a log-out answered No ends at Die without a second question; a log-out that grants
# no interaction asks nothing.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init session_end
start_x_session
QUILLORY=$1
MANAGER=$2

data=$HOME/Documents/Quillory
project=$data/E.qlyp.dir
make_project "$project" Alpha="first page"
write_config "$project" Alpha

events=$E2E_TMP/manager.out
mkfifo "$E2E_TMP/manager.in"
"$MANAGER" <"$E2E_TMP/manager.in" >"$events" 2>"$E2E_OUT/manager.log" &
E2E_PIDS+=($!)
exec 5>"$E2E_TMP/manager.in"
wait_for "$E2E_TIMEOUT" test -s "$events" || fail "the session manager did not start"
export SESSION_MANAGER
SESSION_MANAGER=$(head -n1 "$events")

tell()
{
    echo "$1" >&5
}

# said COUNT EVENT: the manager has reported EVENT at least COUNT times.
said()
{
    (($(grep -cx "$2" "$events") >= $1))
}

# answer KEYS: the save question is open; KEYS answer it.
answer()
{
    local box
    box=$(wait_for_window '^Confirm$') || fail "no save question"
    focus_window "$box"
    send_keys "$@"
    wait_for "$E2E_TIMEOUT" visible_windows_are 0 '^Confirm$' || fail "the question did not close"
}

# An edit, so there is something to save.
edit()
{
    focus_window "$1"
    wait_until_placed "$1"
    xdotool mousemove --window "$1" 400 250 click 1
    xdotool type --delay 30 "x"
    wait_for "$E2E_TIMEOUT" title_is "$1" "Quillory - $project *" || fail "the edit did not count"
}

start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window"
wait_for "$E2E_TIMEOUT" said 1 registered || fail "the program did not join the session"
edit "$window"

tell checkpoint
answer Escape
wait_for "$E2E_TIMEOUT" said 1 "save-done failure" || fail "the checkpoint's Cancel did not reach the manager"
tell complete
quillory_running || fail "a checkpoint ended the program"
is_mapped "$window" || fail "a checkpoint hid the window"

tell shutdown
answer Escape
wait_for "$E2E_TIMEOUT" said 1 "interact-done cancel" || fail "Cancel did not call the log-out off"
tell cancel
quillory_running || fail "a cancelled log-out ended the program"

tell shutdown
answer alt+n
wait_for "$E2E_TIMEOUT" said 1 "save-done success" || fail "No did not end the save"
tell die
wait_quillory_exit || fail "Die did not end the program (a second question?)"
[[ $QUILLORY_EXIT == 0 ]] || fail "the program ended with exit code $QUILLORY_EXIT"
[[ "$(cat "$project/Alpha")" == "first page" ]] || fail "No saved the page"

start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window on the second start"
wait_for "$E2E_TIMEOUT" said 2 registered || fail "the second start did not join the session"
edit "$window"
tell shutdown-quiet
wait_for "$E2E_TIMEOUT" said 2 "save-done success" || fail "the log-out without interaction did not end its save"
visible_windows_are 0 '^Confirm$' || fail "a question opened although no interaction was granted"
tell die
wait_quillory_exit || fail "Die did not end the program"
echo "PASS: the session's checkpoints, cancels and ends"
