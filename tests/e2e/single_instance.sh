#!/usr/bin/env bash
# single_instance.sh QUILLORY: a second start while the program runs touches no file, asks the
# running program to show its window, and ends with exit code 0; the running program keeps its
# work. A lock left by a program that was killed does not stop the next start, which first offers
# the killed run's unsaved edit back.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init single_instance
start_x_session
QUILLORY=$1

data=$HOME/Documents/Quillory
project=$data/S.qlyp.dir
make_project "$project" Alpha="first page" Beta="second page"
write_config "$project" Alpha

# The data folder as bytes and times, so "nothing touched" can be checked whole.
snapshot()
{
    (cd "$data" && find . -type f -printf '%p %s %T@\n' | sort && find . -type f -exec md5sum {} + | sort)
}

start_quillory "$QUILLORY"
first=$QUILLORY_PID
window=$(wait_for_main_window) || fail "no main window"
focus_window "$window"
wait_until_placed "$window"
# An edit that has reached the buffer: typed into Alpha, then written there by the switch to Beta.
xdotool mousemove --window "$window" 400 250 click 1
send_keys End
xdotool type --delay 30 " edited"
send_keys ctrl+F3
wait_for "$E2E_TIMEOUT" grep -qs "edited" "$data/Buffer/Alpha" || fail "the edit did not reach the buffer"
written_by_test=$(md5sum <"$data/config")
wmctrl -i -c "$window"
box=$(wait_for_window '^Confirm$') || fail "no save question at the close"
focus_window "$box"
send_keys alt+n # leave it unsaved: the edit lives in the buffer alone
wait_for "$E2E_TIMEOUT" is_unmapped "$window" || fail "closing did not hide the window"
# The window hides before the settings are written: the snapshot waits for the program's own.
config_rewritten() { [[ "$(md5sum <"$data/config" 2>/dev/null)" != "$written_by_test" ]]; }
wait_for "$E2E_TIMEOUT" config_rewritten || fail "no config written at the close"
before=$(snapshot)

start_quillory "$QUILLORY"
second=$QUILLORY_PID
wait_quillory_exit || fail "the second start is still running"
[[ $QUILLORY_EXIT == 0 ]] || fail "the second start ended with exit code $QUILLORY_EXIT"
QUILLORY_PID=$first
wait_for "$E2E_TIMEOUT" is_mapped "$window" || fail "the running program did not show its window"
quillory_running || fail "the first program ended"
screenshot shown-by-second-start
[[ "$(snapshot)" == "$before" ]] || fail "the second start changed the data folder:
$(diff <(echo "$before") <(snapshot))"
grep -qs "edited" "$data/Buffer/Alpha" || fail "the buffered edit is gone"

# Killed: its lock stays behind, naming a process that no longer runs.
kill -KILL "$first"
wait "$first" 2>/dev/null # reaped: a zombie would still count as running
[[ -e $data/.quillory.lock ]] || fail "no lock file while the program ran"
start_quillory "$QUILLORY"
# The killed run did not end in order and left the unsaved edit: the start offers it back first.
box=$(wait_for_window '^Confirm$') || fail "a stale lock kept the program from starting"
focus_window "$box"
send_keys Return
window=$(wait_for_main_window) || fail "no main window after the restore question"
quillory_running || fail "the program after the stale lock ended"
grep -qs "edited" "$data/Buffer/Alpha" || fail "Yes did not keep the unsaved edit"
wait_for "$E2E_TIMEOUT" eval '[[ $(window_title "$window") == *" *" ]]' ||
    fail "the restored edit is not shown as unsaved: $(window_title "$window")"
note "second start was $second"
echo "PASS: one program per data folder"
