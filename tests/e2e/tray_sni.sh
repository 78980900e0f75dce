#!/usr/bin/env bash
# tray_sni.sh QUILLORY: with a StatusNotifier tray (a stand-in org.kde.StatusNotifierWatcher on a
# private session bus), the program registers its item there, and activating the item, the only
# activation such a tray reports, brings the hidden window back.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/desktops.sh"
harness_init tray_sni
harness_require Xvfb openbox xdotool xwininfo xdpyinfo wmctrl import
start_xvfb
start_openbox
start_session_bus
start_stand_in --tray --notifications
QUILLORY=$1

data=$HOME/Documents/Quillory
project=$data/T.qlyp.dir
make_project "$project" Alpha="First page text"
# "Start in System Tray": the first tick hides the window.
mkdir -p "$data"
printf '%s\r\n' 0 0 655 539 "$project" 185 Alpha 1 0 1 0 0 0 0 1 55 >"$data/config"

start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window"
wait_for "$E2E_TIMEOUT" logged '^item ' || fail "no item was registered with the watcher"
wait_for "$E2E_TIMEOUT" is_unmapped "$window" || fail "the window did not start in the tray"
read -r _ sender service < <(grep '^item ' "$STAND_IN_LOG" | tail -n1)
[[ $service == /* ]] && dest=$sender path=$service || dest=$service path=/StatusNotifierItem
gdbus call --session --dest "$dest" --object-path "$path" --method org.kde.StatusNotifierItem.Activate 0 0 \
    >/dev/null || fail "could not activate the item $dest $path"
wait_for "$E2E_TIMEOUT" is_mapped "$window" || fail "activating the item did not show the window"
quillory_running || fail "the program ended"
echo "PASS: tray_sni"
