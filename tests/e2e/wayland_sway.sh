#!/usr/bin/env bash
# wayland_sway.sh QUILLORY: the program as a native Wayland client on sway (headless), its hotkeys
# bound through a stand-in GlobalShortcuts portal on a private session bus. With another client
# focused, the copy shortcut puts the page on the Wayland clipboard (text and RTF, read by wl-paste)
# and the hide shortcut hides the window; a desktop that binds other keys, or none, is told.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/desktops.sh"
unprivileged_rerun "$@"
harness_init wayland_sway
harness_require wl-paste wl-copy
QUILLORY=$1

data=$HOME/Documents/Quillory
project=$data/W.qlyp.dir
make_project "$project" Alpha="First page text" Beta="Second page text"
write_config "$project" Beta

start_session_bus
start_stand_in --portal asked --tray --notifications
start_sway

start_quillory_native "$QUILLORY"
wait_for "$E2E_TIMEOUT" sway_shows "Quillory - " || fail "no main window on sway"
wait_for "$E2E_TIMEOUT" logged '^bind show-window=CTRL\+F1 item-up=CTRL\+F2 item-down=CTRL\+F3 copy-page=CTRL\+F4 hide-window=CTRL\+F5$' ||
    fail "the portal was not asked for Ctrl+F1..F5: $(cat "$STAND_IN_LOG")"
logged '^create-session /org/freedesktop/portal/desktop/session/[^/]+/Quillory shortcuts=5$' ||
    fail "the session was not created with the shortcuts: $(cat "$STAND_IN_LOG")"
wait_for "$E2E_TIMEOUT" logged '^list$' || fail "the bound shortcuts were not listed back"
start_other_client
wait_for "$E2E_TIMEOUT" sway_focused_app_is_not "^Quillory" || fail "the other client did not take the focus"

printf 'nothing copied yet' | wl-copy --type text/plain # as typed, whatever a MIME guesser makes of it
wait_for "$E2E_TIMEOUT" pasted_is "nothing copied yet" text/plain || fail "could not seed the clipboard"
press copy-page
wait_for "$E2E_TIMEOUT" pasted_is "Second page text" text/plain ||
    fail "after the copy shortcut the clipboard holds '$(pasted text/plain)'"
rtf=$(pasted text/rtf) || fail "no text/rtf on the clipboard"
[[ $rtf == '{\rtf'* ]] || fail "text/rtf is not RTF: ${rtf:0:60}"
wait_for "$E2E_TIMEOUT" logged '^notify Quillory says.. Text copied to Clipboard.$' || fail "no balloon for the copy"
sway_focused_app_is_not "^Quillory" || fail "the copy took the focus from the other client"

press hide-window
wait_for "$E2E_TIMEOUT" eval '! sway_shows "Quillory - "' || fail "the hide shortcut did not hide the window"
press copy-page
wait_for "$E2E_TIMEOUT" eval '[[ $(grep -c "^notify Quillory says.. Text copied" "$STAND_IN_LOG") == 2 ]]' ||
    fail "no copy from the tray"
press show-window
wait_for "$E2E_TIMEOUT" sway_shows "Quillory - " || fail "the show shortcut did not bring the window back"
quillory_running || fail "the program ended"
stop_quillory

# A desktop that binds other keys: the notice names them.
stop_stand_in
start_stand_in --portal other --tray --notifications
start_quillory_native "$QUILLORY"
wait_for "$E2E_TIMEOUT" logged '^notify Quillory.s hotkeys in this session:.*Alt\+Shift\+4 = Copies the entire page' ||
    fail "no notice of the keys bound: $(grep notify "$STAND_IN_LOG")"
stop_quillory

# A desktop that binds nothing: the fallback notice.
stop_stand_in
start_stand_in --portal none --tray --notifications
start_quillory_native "$QUILLORY"
wait_for "$E2E_TIMEOUT" logged "^notify The desktop bound none of Quillory's hotkeys" ||
    fail "no fallback notice: $(grep notify "$STAND_IN_LOG")"
quillory_running || fail "the program ended"
echo "PASS: wayland_sway"
