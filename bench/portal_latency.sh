#!/usr/bin/env bash
# portal_latency.sh QUILLORY PORTALLATENCY [ROUNDS]: how long the copy takes on a Wayland desktop,
# from the GlobalShortcuts portal's Activated signal (emitted by the stand-in portal of the
# end-to-end tests) until the clipboard, set through wlr data control, has served the whole 2 KB
# page as text; sway headless, the program a native Wayland client, another client focused.
# PORTALLATENCY is tools/portallatency. A benchmark: it prints figures and never judges them.
set -uo pipefail
# Beside the end-to-end scripts when it runs as nobody from their copy.
e2e=$(dirname "$0")/../tests/e2e
[[ -f $e2e/harness.sh ]] || e2e=$(dirname "$0")
source "$e2e/harness.sh"
source "$e2e/desktops.sh"
QUILLORY=${1:?usage: portal_latency.sh QUILLORY PORTALLATENCY [ROUNDS]}
PROBE=${2:?usage: portal_latency.sh QUILLORY PORTALLATENCY [ROUNDS]}
ROUNDS=${3:-30}
unprivileged_rerun "$@"
harness_init portal_latency

data=$HOME/$DATA_DIR_REL
project=$data/2KB.qlyp.dir
mkdir -p "$project"
awk 'BEGIN { for (;;) printf "Page line %06d: prepared text to paste into another program, word after word.\n", ++n }' |
    head -c 2048 >"$project/Page"
touch -d "2010-10-10 00:00" "$project/Page"
write_config "$project" Page

start_session_bus
start_stand_in --portal asked --tray --notifications
start_sway
start_quillory_native "$QUILLORY"
wait_for "$E2E_TIMEOUT" sway_shows "Quillory - " || fail "no main window on sway"
wait_for "$E2E_TIMEOUT" logged '^bind ' || fail "the portal was never asked to bind the hotkeys"
start_other_client
wait_for "$E2E_TIMEOUT" sway_focused_app_is_not "^Quillory" || fail "the other client did not take the focus"
# The editor's plain text of a page that ends in a line break: the same 2048 bytes.
"$PROBE" "$ROUNDS" 2048
