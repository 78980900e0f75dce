#!/usr/bin/env bash
# close_and_exit.sh QUILLORY: closing the window through the window manager (Alt+F4, then a close
# request from wmctrl) only hides it to the tray and writes a 16-line config; File|Exit ends the
# program with exit code 0.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init close_and_exit
start_x_session
config=$HOME/Documents/Quillory/config

# close_hides HOW KEYS...: one start, one close by the window manager.
close_hides()
{
    local how=$1 window
    shift
    rm -f "$config"
    start_quillory "$QUILLORY"
    window=$(wait_for_main_window) || fail "no main window"
    focus_window "$window"
    "$@" "$window"
    wait_for "$E2E_TIMEOUT" is_unmapped "$window" || fail "$how: the window is still shown"
    wait_for "$E2E_TIMEOUT" config_has_16_lines || fail "$how: config has $(config_line_count) lines, not 16"
    quillory_running || fail "$how: the program ended instead of hiding"
    screenshot "closed-by-$how"
    stop_quillory
}

config_has_16_lines()
{
    [[ "$(config_line_count)" == 16 && "$(wc -l <"$config")" == 16 ]]
}

alt_f4()
{
    send_keys alt+F4
}

wmctrl_close()
{
    wmctrl -i -c "$1"
}

QUILLORY=$1
close_hides alt-f4 alt_f4
close_hides wmctrl wmctrl_close

rm -f "$config"
start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window"
exit_from_menu "$window"
wait_quillory_exit || fail "File|Exit did not end the program"
[[ $QUILLORY_EXIT == 0 ]] || fail "File|Exit ended the program with exit code $QUILLORY_EXIT"
config_has_16_lines || fail "after Exit config has $(config_line_count) lines, not 16"

# The stored outer bounds come back as they were: a restart must not grow the window by its frame.
bounds=$(head -n 4 "$config" | tr -d '\r' | tr '\n' ' ')
start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window on the restart"
exit_from_menu "$window"
wait_quillory_exit || fail "File|Exit did not end the restarted program"
again=$(head -n 4 "$config" | tr -d '\r' | tr '\n' ' ')
[[ $again == "$bounds" ]] || fail "window bounds moved from '$bounds' to '$again' over a restart"
echo "PASS: close hides, Exit ends"
