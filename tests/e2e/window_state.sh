#!/usr/bin/env bash
# window_state.sh QUILLORY: stay-on-top changes the window in place. Over three Ctrl+F5 / Ctrl+F1
# cycles the window keeps its id; Ctrl+F1 puts it above the others and the tick clears its
# _NET_WM_STATE_ABOVE ("Stay on Top" off); a window the user moved to another desktop comes back there. The About
# window opens 42 pixels below the main window's top on its very first show.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init window_state
harness_require xprop
start_x_session
QUILLORY=$1

data=$HOME/Documents/Quillory
project=$data/S.qlyp.dir
make_project "$project" Alpha="First page text"
write_config "$project" Alpha

# The tick takes the state away within 50 ms of Ctrl+F1, so every change is recorded as it comes.
spy_state()
{
    xprop -spy -id "$1" _NET_WM_STATE >"$E2E_TMP/state.log" 2>&1 &
    E2E_PIDS+=($!)
    # It prints the state as it stands once it listens: only then can no change pass unseen.
    wait_for "$E2E_TIMEOUT" spy_listening || fail "xprop -spy did not start"
}

spy_listening()
{
    [[ -s $E2E_TMP/state.log ]]
}

# stacked_above WINDOW OTHER: the window manager stacks WINDOW above OTHER (its stacking list runs
# bottom to top). Ctrl+F1's "above" hint lasts only until the next tick, too briefly to be read
# back on a loaded machine; the raise it brings stays.
stacked_above()
{
    local ids position=0 window_at=-1 other_at=-1 id
    ids=$(xprop -root _NET_CLIENT_LIST_STACKING | sed -n 's/.*# *//p' | tr ',' ' ')
    for id in $ids; do
        (($(printf '%d' "$id") == $1)) && window_at=$position
        (($(printf '%d' "$id") == $2)) && other_at=$position
        position=$((position + 1))
    done
    ((window_at > other_at && other_at >= 0))
}

# not_above: the latest state lacks ABOVE.
not_above()
{
    ! tail -n1 "$E2E_TMP/state.log" | grep -q _NET_WM_STATE_ABOVE
}

# on_desktop WINDOW N: the window manager has the window on desktop N.
on_desktop()
{
    [[ "$(xprop -id "$1" _NET_WM_DESKTOP 2>/dev/null)" == "_NET_WM_DESKTOP(CARDINAL) = $2" ]]
}

# one_main_window WINDOW: the only window titled as the main window is WINDOW.
one_main_window()
{
    [[ "$(xdotool search --name '^Quillory - ' 2>/dev/null)" == "$1" ]]
}

# frame_top WINDOW: the top edge of the window's frame, on the screen.
frame_top()
{
    local y extents
    y=$(xwininfo -id "$1" | sed -n 's/.*Absolute upper-left Y: *//p')
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p')
    echo $((y - $(cut -d, -f3 <<<"$extents")))
}

start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window"
wait_for "$E2E_TIMEOUT" is_mapped "$window" || fail "the main window is not shown"

# The About window, first shown from the Content menu (its last entry).
focus_window "$window"
send_keys alt Right Right Right Down Up Return
about=$(wait_for_window '^About Quillory$') || fail "About did not open"
wait_for "$E2E_TIMEOUT" is_mapped "$about" || fail "About is not shown"
placed()
{
    [[ $(frame_top "$about") == $(($(frame_top "$window") + 42)) ]]
}
wait_for "$E2E_TIMEOUT" placed || fail "About's frame is at $(frame_top "$about"), the main window's at $(frame_top "$window")"
holds_for 1 placed || fail "About moved away from 42 pixels below the main window"
send_keys Escape
wait_for "$E2E_TIMEOUT" is_unmapped "$about" || fail "About did not close"

start_other_window
spy_state "$window"
for cycle in 1 2 3; do
    send_keys ctrl+F5
    wait_for "$E2E_TIMEOUT" is_unmapped "$window" || fail "cycle $cycle: Ctrl+F5 did not hide the window"
    send_keys ctrl+F1
    wait_for "$E2E_TIMEOUT" is_mapped "$window" || fail "cycle $cycle: Ctrl+F1 did not show window $window again"
    one_main_window "$window" || fail "cycle $cycle: the main window is now $(xdotool search --name '^Quillory - ')"
    wait_for "$E2E_TIMEOUT" stacked_above "$window" "$OTHER_WINDOW" ||
        fail "cycle $cycle: Ctrl+F1 did not put the window above the others"
    wait_for "$E2E_TIMEOUT" not_above || fail "cycle $cycle: the tick left the window above the others"
    focus_window "$OTHER_WINDOW"
done

# The user moves the window to the second desktop; a hide and a show keep it there.
wmctrl -i -r "$window" -t 1
wait_for "$E2E_TIMEOUT" on_desktop "$window" 1 || fail "the window manager did not move the window"
send_keys ctrl+F5
wait_for "$E2E_TIMEOUT" is_unmapped "$window" || fail "Ctrl+F5 did not hide the window on the second desktop"
send_keys ctrl+F1
wait_for "$E2E_TIMEOUT" on_desktop "$window" 1 ||
    fail "the window came back on desktop $(xprop -id "$window" _NET_WM_DESKTOP), not 1"
one_main_window "$window" || fail "the window was recreated"
quillory_running || fail "the program ended"
echo "PASS: window_state"
