#!/usr/bin/env bash
# keyboard.sh QUILLORY: a day's work without the mouse. From the page the keys go back to the item
# list; its arrows step through the items while the list keeps the focus (each step's page is
# what Ctrl+F4 copies). F10 and the arrows, and Alt+L, open the List menu, whose letter A adds an
# item; the page takes the typing, and Ctrl+S saves both new items into the project.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init keyboard
start_x_session
QUILLORY=$1

project=$HOME/Documents/Keys.qlyp.dir
make_project "$project" "One=page one" "Two=page two" "Three=page three"
write_config "$project" One
start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window"
focus_window "$window"

# copied TEXT: Ctrl+F4 puts the page shown on the clipboard, and it is TEXT.
copied()
{
    set_clipboard "-"
    send_keys ctrl+F4
    wait_for "$E2E_TIMEOUT" clipboard_is "$1" || fail "the page shown is '$(clipboard)', not '$1'"
}
copied "page one"

# The page has the keys at the start; Ctrl+Shift+Tab leaves it for the recent list, Shift+Tab
# goes on to the item list. Two presses of Down are two items, not an item and a caret move.
send_keys ctrl+shift+Tab shift+Tab Down
copied "page two"
send_keys Down
copied "page three"
send_keys Up
copied "page two"

# add_item KEYS... NAME: the keys reach List | Add Item; NAME is typed into its box.
add_item()
{
    local name=${*: -1} box
    send_keys "${@:1:$#-1}"
    box=$(wait_for_window '^Add new item\.$') || fail "$* asked for no name"
    wait_for "$E2E_TIMEOUT" window_active "$box" || fail "the name box does not have the keys"
    send_keys ctrl+a
    xdotool type --delay 20 "$name"
    send_keys Return
    wait_for "$E2E_TIMEOUT" test -f "$HOME/Documents/Quillory/Buffer/$name" || fail "$* made no item $name"
}
# F10 opens the menu bar at File, Right goes on to List, A is Add Item; the new page has the keys.
add_item F10 Right a Four
xdotool type --delay 20 "typed by keys"
copied "typed by keys"
# Alt+L opens List directly.
add_item alt+l a Five
xdotool type --delay 20 "five"
copied "five"

send_keys ctrl+s
saved()
{
    [[ -f $project/Four && -f $project/Five ]] && grep -q 'typed by keys' "$project/Four" &&
        grep -q 'five' "$project/Five"
}
wait_for "$E2E_TIMEOUT" saved || fail "Ctrl+S did not save the new items into the project"
quillory_running || fail "the program ended"
echo "PASS: keyboard"
