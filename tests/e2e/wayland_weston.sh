#!/usr/bin/env bash
# wayland_weston.sh QUILLORY: on a compositor without data control (weston, headless), a copy from
# the hotkey while another client has the focus either reaches the clipboard or says that it
# failed; it is never reported as done when it was not.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/desktops.sh"
unprivileged_rerun "$@"
harness_init wayland_weston
harness_require wl-paste wl-copy
QUILLORY=$1

data=$HOME/Documents/Quillory
project=$data/W.qlyp.dir
make_project "$project" Alpha="First page text"
write_config "$project" Alpha

start_session_bus
start_stand_in --portal asked --tray --notifications
start_weston
start_quillory_native "$QUILLORY"
wait_for "$E2E_TIMEOUT" logged '^bind ' || fail "the portal was never asked to bind the hotkeys"
start_other_client

press copy-page some-activation-token
copy_reported()
{
    logged '^notify Quillory says.. (Text copied to Clipboard|The page could not be put on the Clipboard)\.$'
}
wait_for "$E2E_TIMEOUT" copy_reported || fail "the copy was reported neither way: $(grep notify "$STAND_IN_LOG")"
if logged '^notify Quillory says.. Text copied'; then
    pasted_is "First page text" text/plain || fail "the copy was reported as done, but the clipboard holds '$(pasted text/plain)'"
    note "the copy happened"
else
    note "the copy said it failed"
fi
quillory_running || fail "the program ended"
echo "PASS: wayland_weston"
