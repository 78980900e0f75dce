#!/usr/bin/env bash
# hotkeys.sh QUILLORY GRABKEY RTFCONV: the system-wide hotkeys, typed while another program has the focus.
# Ctrl+F4 puts the page shown on the clipboard (text and RTF), also from the tray; Ctrl+F5 hides the
# window and Ctrl+F1 brings it back with the item it hid on; Ctrl+F3/Ctrl+F2 step down/up. Then a
# second start while another client holds Ctrl+F2: that key stays theirs, the other four work.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init hotkeys
harness_require xmessage
start_x_session
QUILLORY=$1
GRABKEY=$2
RTFCONV=$3

data=$HOME/Documents/Quillory
project=$data/X.qlyp.dir
make_project "$project" Alpha="First page text" Beta="Second page text" Gamma="Third page text"
write_config "$project" Alpha

# copies KEYS... TEXT: typing KEYS (the last one Ctrl+F4) replaces the clipboard with TEXT.
copies()
{
    local text=${*: -1}
    set_clipboard "nothing copied yet"
    send_keys "${@:1:$#-1}"
    wait_for "$E2E_TIMEOUT" clipboard_is "$text" ||
        fail "after $* the clipboard holds '$(clipboard)', expected '$text'"
}

start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window"
wait_for "$E2E_TIMEOUT" title_is "$window" "Quillory - $project" || fail "caption is '$(window_title "$window")'"
start_other_window

copies ctrl+F4 "First page text"
rtf=$(clipboard text/rtf) || fail "no text/rtf on the clipboard"
[[ $rtf == '{\rtf'* ]] || fail "text/rtf is not RTF: ${rtf:0:60}"
printf '%s' "$rtf" >"$E2E_TMP/copied.rtf"
ours=$("$RTFCONV" text "$E2E_TMP/copied.rtf") || fail "our reader cannot read the copied RTF"
[[ $ours == "First page text" ]] || fail "our reader reads the copied RTF as '$ours'"
if command -v pandoc >/dev/null; then
    back=$(pandoc -f rtf -t plain --wrap=none <<<"$rtf") || fail "pandoc cannot read the copied RTF"
    [[ $back == "First page text" ]] || fail "pandoc reads the copied RTF as '$back'"
fi

copies ctrl+F3 ctrl+F4 "Second page text"

send_keys ctrl+F5
wait_for "$E2E_TIMEOUT" is_unmapped "$window" || fail "Ctrl+F5 did not hide the window"
screenshot hidden
clipboard_is "Second page text" || fail "the copy did not stay on the clipboard while in the tray"
copies ctrl+F4 "Second page text"

send_keys ctrl+F1
wait_for "$E2E_TIMEOUT" is_mapped "$window" || fail "Ctrl+F1 did not show the window"
screenshot shown-again
focus_window "$OTHER_WINDOW"
copies ctrl+F4 "Second page text"
copies ctrl+F3 ctrl+F4 "Third page text"
copies ctrl+F2 ctrl+F4 "Second page text"
stop_quillory

# Another program holds Ctrl+F2 before the start.
"$GRABKEY" ctrl+F2 >"$E2E_TMP/grabkey.out" 2>&1 &
E2E_PIDS+=($!)
wait_for "$E2E_TIMEOUT" grep -qs grabbed "$E2E_TMP/grabkey.out" || fail "grabkey could not take Ctrl+F2"
start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window on the second start"
focus_window "$OTHER_WINDOW"
copies ctrl+F4 "First page text"
copies ctrl+F3 ctrl+F4 "Second page text"
copies ctrl+F2 ctrl+F4 "Second page text"
send_keys ctrl+F5
wait_for "$E2E_TIMEOUT" is_unmapped "$window" || fail "Ctrl+F5 did not hide the window (Ctrl+F2 held elsewhere)"
send_keys ctrl+F1
wait_for "$E2E_TIMEOUT" is_mapped "$window" || fail "Ctrl+F1 did not show the window (Ctrl+F2 held elsewhere)"
quillory_running || fail "the program ended"
echo "PASS: hotkeys"
