#!/usr/bin/env bash
# search.sh QUILLORY: the search of every page as a user types it. Ctrl+Shift+F, a word typed
# letter by letter and Enter open the page that holds it (Ctrl+F4 then copies that page); Escape
# brings the whole list back, whose Ctrl+F3 steps on from the page found. The index is a cache in
# $XDG_CACHE_HOME/Quillory: deleted, it is made again at the next start and finds the same.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init search
start_x_session
QUILLORY=$1
export XDG_CACHE_HOME=$HOME/.cache

project=$HOME/Fruit.qlyp.dir
make_project "$project" "Apples=Red apples from the north." "Bananas=Yellow and sweet." \
    "Cherries=Red stone fruit from the orchard." "Dates=Brown and sweet."
write_config "$project" Apples

# find_and_open WORDS: the words typed into the search field, Enter, and the page found copied.
find_and_open()
{
    focus_window "$window"
    send_keys ctrl+shift+f
    xdotool type --delay 40 "$1"
    send_keys Return
    send_keys ctrl+F4
}

start_quillory "$QUILLORY"
window=$(wait_for_main_window "$E2E_TIMEOUT") || fail "no main window"
find_and_open "orch"
wait_for "$E2E_TIMEOUT" clipboard_is "Red stone fruit from the orchard." ||
    fail "the page found was not opened: the clipboard holds '$(clipboard)'"
screenshot found
compgen -G "$XDG_CACHE_HOME/Quillory/*.sqlite" >/dev/null || fail "no index in $XDG_CACHE_HOME/Quillory"

# Escape: the whole list again, the page found still shown; the next item follows it.
focus_window "$window"
send_keys ctrl+shift+f Escape ctrl+F3 ctrl+F4
wait_for "$E2E_TIMEOUT" clipboard_is "Brown and sweet." ||
    fail "Ctrl+F3 after the search did not step from the page found: '$(clipboard)'"

stop_quillory
rm -rf "$XDG_CACHE_HOME/Quillory"
start_quillory "$QUILLORY"
window=$(wait_for_main_window "$E2E_TIMEOUT") || fail "no main window after the restart"
find_and_open "yellow"
wait_for "$E2E_TIMEOUT" clipboard_is "Yellow and sweet." ||
    fail "the index made again found nothing: '$(clipboard)'"
note "ok"
