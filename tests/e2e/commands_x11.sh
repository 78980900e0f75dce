#!/usr/bin/env bash
# commands_x11.sh QUILLORY: the hotkeys as commands, for desktops that bind keys to commands.
# `quillory --next`, `--copy`, `--hide`, `--show`, `--previous` act on the running program and
# return; with no program running, the command starts it and then acts.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init commands_x11
harness_require xmessage
start_x_session
QUILLORY=$1

data=$HOME/Documents/Quillory
project=$data/C.qlyp.dir
make_project "$project" Alpha="First page text" Beta="Second page text" Gamma="Third page text"
write_config "$project" Beta

# run_command OPTION: the command returns, successfully, while the program goes on.
run_command()
{
    QT_QPA_PLATFORM=xcb timeout 10 "$QUILLORY" "$1" >>"$E2E_OUT/commands.log" 2>&1 ||
        fail "'quillory $1' did not return 0 within 10 s"
}

# copies OPTION... TEXT: the commands leave TEXT on the clipboard.
copies()
{
    local text=${*: -1} option
    set_clipboard "nothing copied yet"
    for option in "${@:1:$#-1}"; do
        run_command "$option"
    done
    wait_for "$E2E_TIMEOUT" clipboard_is "$text" ||
        fail "after $* the clipboard holds '$(clipboard)', expected '$text'"
}

start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window"
start_other_window

copies --copy "Second page text"
copies --next --copy "Third page text"
copies --previous --previous --copy "First page text"
run_command --hide
wait_for "$E2E_TIMEOUT" is_unmapped "$window" || fail "--hide did not hide the window"
copies --copy "First page text"
run_command --show
wait_for "$E2E_TIMEOUT" is_mapped "$window" || fail "--show did not show the window"
quillory_running || fail "the program ended"
[[ $(pgrep -c -u "$(id -u)" -f "^$QUILLORY") == 1 ]] || fail "a command stayed running beside the program"
stop_quillory

# Nobody running: the command becomes the program, starts, then copies the remembered page (the
# settings still name Beta: the program was ended, not closed).
set_clipboard "nothing copied yet"
QT_QPA_PLATFORM=xcb "$QUILLORY" --copy >>"$E2E_OUT/quillory.log" 2>&1 &
QUILLORY_PID=$!
E2E_PIDS+=("$QUILLORY_PID")
wait_for "$E2E_TIMEOUT" clipboard_is "Second page text" ||
    fail "a command with no program running left '$(clipboard)' on the clipboard"
window=$(wait_for_main_window) || fail "the command did not start the program"
run_command --hide
wait_for "$E2E_TIMEOUT" is_unmapped "$window" || fail "--hide did not reach the program a command started"
echo "PASS: commands_x11"
