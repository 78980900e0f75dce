#!/usr/bin/env bash
# hostile_input.sh QUILLORY: what a page or a paste from elsewhere can no longer do.
# - HTML on the clipboard whose picture is /dev/zero (as a web page's copy names its pictures) is
#   pasted without reading it: the program answers Ctrl+F4 at once afterwards and stays small.
# - A Ctrl+click on a page's link to a launcher beside the project runs nothing: a box names the
#   file first; No opens nothing, Yes shows its folder (here through the opener, as no file manager
#   answers on D-Bus) and says why, and the launcher itself is never handed to the opener.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init hostile_input
start_x_session

QUILLORY=$1
record=$E2E_TMP/opened
mkdir -p "$E2E_TMP/bin"
cat >"$E2E_TMP/bin/xdg-open" <<'STANDIN'
#!/bin/sh
printf '%s\n' "$@" >>"$OPENER_RECORD"
STANDIN
chmod +x "$E2E_TMP/bin/xdg-open"
export OPENER_RECORD=$record PATH=$E2E_TMP/bin:$PATH
# No session bus: the file manager cannot be asked, so the folder goes to the opener.
unset DBUS_SESSION_BUS_ADDRESS

project=$HOME/Shared.qlyp.dir
make_project "$project" Page=
cat >"$HOME/Tool.desktop" <<LAUNCHER
[Desktop Entry]
Type=Application
Name=Tool
Exec=touch $HOME/ran
LAUNCHER
chmod +x "$HOME/Tool.desktop"
show_page_wide "$QUILLORY" "$project" \
    '{\rtf1\ansi{\fonttbl{\f0 DejaVu Sans;}}\f0\fs48 {\field{\*\fldinst HYPERLINK "../Tool.desktop"}{\fldrslt launcher launcher launcher}}\par second line\par}'

ctrl_click()
{
    xdotool mousemove --window "$window" 215 70 keydown ctrl click 1 keyup ctrl
}
clipboard_contains()
{
    [[ "$(clipboard)" == *"$1"* ]]
}
html_offered()
{
    [[ -n "$(clipboard text/html)" ]]
}
answer_box()
{
    local title=$1 key=$2 box
    box=$(wait_for_window "^$title\$") || fail "no $title box"
    focus_window "$box"
    send_keys "$key"
    wait_for "$E2E_TIMEOUT" visible_windows_are 0 "^$title\$" || fail "the $title box stayed open"
}

ctrl_click
answer_box Confirm n
[[ ! -e $record ]] || fail "No still opened: $(cat "$record")"

ctrl_click
screenshot launcher-question
answer_box Confirm Return
answer_box Information Return
wait_for "$E2E_TIMEOUT" test -s "$record" || fail "Yes showed nothing"
[[ "$(cat "$record")" == "file://$HOME" ]] || fail "the opener was given: $(cat "$record")"
[[ ! -e $HOME/ran ]] || fail "the launcher ran"

# The paste: the picture's address is /dev/zero, which would grow the program without end.
printf '%s' '<p>pasted <img src="/dev/zero"> here<img src="file:///dev/zero"></p>' |
    xclip -quiet -i -selection clipboard -t text/html >/dev/null 2>&1 &
E2E_PIDS+=($!)
wait_for "$E2E_TIMEOUT" html_offered || fail "could not seed the clipboard"
focus_window "$window"
send_keys ctrl+End ctrl+v
start_other_window
set_clipboard "nothing copied yet"
send_keys ctrl+F4
wait_for "$E2E_TIMEOUT" clipboard_contains "pasted" || fail "after the paste Ctrl+F4 copied '$(clipboard)'"
rss=$(awk '/^VmRSS/ {print $2}' "/proc/$QUILLORY_PID/status")
((rss < 1024 * 1024)) || fail "the program holds $rss KB after the paste"
quillory_running || fail "the program ended"
echo "PASS: a paste naming /dev/zero reads nothing ($rss KB), a link to a launcher runs nothing"
