#!/usr/bin/env bash
# users_day.sh QUILLORY: a new user's day with real keys, the mouse and the real clipboard. First
# start; three items added and typed into; a word made bold and its line centred; an item renamed
# and another dragged to the top; the project saved; Ctrl+F4 pressed in LibreOffice Writer and the
# page pasted there, bold word and all; a reminder already due answered No and seen acknowledged;
# the page exported as text and as RTF; an item deleted; Exit; and the next start shows the same
# items in the same order, the same selection and the same window bounds. A screenshot per step.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init users_day
harness_require soffice convert
start_x_session
QUILLORY=$1

data=$HOME/Documents/Quillory
project=$data/MyStuff.qlyp.dir
buffer=$data/Buffer

buffer_order()
{
    ls -1tr "$buffer" | tr '\n' ' '
}

buffer_order_is()
{
    [[ "$(buffer_order)" == "$1 " ]]
}

# The toolbar, as laid out a pixel row under the menu bar.
toolbar_click()
{
    xdotool mousemove --window "$window" --sync "$1" 30 click 1
}

# row_is Y: the selected row's middle is Y, give or take the descenders of its text.
row_is()
{
    local y
    y=$(selected_row_middle "$window") || return 1
    ((y - $1 <= 4 && $1 - y <= 4))
}

click_page()
{
    focus_window "$window"
    xdotool mousemove --window "$window" --sync 400 300 click 1
}

# answer_prompt TITLE TEXT: types TEXT over what the name box holds.
answer_prompt()
{
    local box
    box=$(wait_for_window "^$1\$") || fail "no box titled '$1'"
    focus_window "$box"
    send_keys ctrl+a
    xdotool type --delay 20 "$2"
    send_keys Return
    wait_for "$E2E_TIMEOUT" visible_windows_are 0 "^$1\$" || fail "the box '$1' stayed open"
}

bounds()
{
    xwininfo -id "$window" | grep -E 'Absolute|Width|Height' | tr -s ' \n' ' '
}

# --- First start -------------------------------------------------------------------------------
start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window at the first start"
focus_window "$window"
wait_until_placed "$window"
wait_for "$E2E_TIMEOUT" test -f "$buffer/Wibble" || fail "no first item"
first_row=""
wait_for "$E2E_TIMEOUT" eval 'first_row=$(selected_row_middle "$window")' || fail "no selected row at the first start"
screenshot 01-first-start

# --- Three items, typed into --------------------------------------------------------------------
for name in Apples Pears Plums; do
    toolbar_click 55
    answer_prompt 'Add new item\.' "$name"
    wait_for "$E2E_TIMEOUT" test -f "$buffer/$name" || fail "Add Item made no $name"
    click_page
    xdotool type --delay 20 "$name are fruit."
done
send_keys Return
xdotool type --delay 20 "This is bold"
send_keys ctrl+shift+Left
toolbar_click 388 # B
toolbar_click 524 # centre
send_keys End
screenshot 02-three-items

# --- Rename Pears, drag Plums to the top, save ---------------------------------------------------
send_keys ctrl+F2
last_row=""
wait_for "$E2E_TIMEOUT" eval 'last_row=$(selected_row_middle "$window"); ((last_row > first_row))' ||
    fail "Ctrl+F2 selected no other row"
grep -qs "Plums are fruit" "$buffer/Plums" || fail "the switch did not write Plums' page"
toolbar_click 104
answer_prompt 'Rename Item\.\.' Quinces
wait_for "$E2E_TIMEOUT" test -f "$buffer/Quinces" || fail "Rename made no Quinces"
[[ ! -e $buffer/Pears ]] || fail "Pears is still in the buffer after the rename"

send_keys ctrl+F3
plums_row=""
wait_for "$E2E_TIMEOUT" eval 'plums_row=$(selected_row_middle "$window"); ((plums_row > last_row))' ||
    fail "Ctrl+F3 did not select Plums"
xdotool mousemove --window "$window" --sync 60 "$plums_row" mousedown 1
for ((y = plums_row - 4; y > first_row; y -= 8)); do
    xdotool mousemove --window "$window" --sync 60 "$y"
done
xdotool mousemove --window "$window" --sync 60 "$first_row" mouseup 1
wait_for "$E2E_TIMEOUT" buffer_order_is "Plums Wibble Apples Quinces" ||
    fail "after the drag the buffer is ordered: $(buffer_order)"
screenshot 03-renamed-and-dragged

send_keys ctrl+s
saved_in_order()
{
    [[ "$(ls -1tr "$project" | tr '\n' ' ')" == "Plums Wibble Apples Quinces " ]] &&
        grep -qs "This is" "$project/Plums"
}
wait_for "$E2E_TIMEOUT" saved_in_order || fail "the saved project holds: $(ls -1tr "$project" | tr '\n' ' ')"

# --- Ctrl+F4 in another program, pasted there ----------------------------------------------------
profile=$E2E_TMP/office
soffice -env:UserInstallation=file://"$profile" --norestore --nologo --writer >"$E2E_OUT/soffice.log" 2>&1 &
E2E_PIDS+=($!)
writer=$(wait_for_window 'LibreOffice Writer$' 120) || fail "LibreOffice Writer did not open"
focus_window "$writer"
send_keys Escape # a first-start dialog of its own, if any
focus_window "$writer"
send_keys ctrl+F4
wait_for "$E2E_TIMEOUT" eval '[[ "$(clipboard)" == *"This is bold"* ]]' || fail "Ctrl+F4 copied: $(clipboard)"
send_keys ctrl+v
writer_holds_page()
{
    focus_window "$writer"
    send_keys ctrl+a ctrl+c
    local html
    html=$(clipboard text/html)
    [[ $html == *"Plums are fruit."* && $html =~ \<[bB]\>bold\</[bB]\>|font-weight:[[:space:]]*bold ]]
}
wait_for "$E2E_TIMEOUT" writer_holds_page || fail "Writer holds: $(clipboard text/html | head -c 2000)"
screenshot 04-pasted-in-writer

# --- A reminder already due ----------------------------------------------------------------------
focus_window "$window"
click_page
send_keys ctrl+End Return
xdotool type --delay 20 "Dentist Reminder{20200101-0900}[Call]"
box=$(wait_for_window '^Confirm$' 30) || fail "no reminder question within 30 seconds"
screenshot 05-reminder
focus_window "$box"
send_keys alt+n
wait_for "$E2E_TIMEOUT" visible_windows_are 0 '^Confirm$' || fail "No did not close the question"
focus_window "$window"
send_keys ctrl+F4
wait_for "$E2E_TIMEOUT" eval '[[ "$(clipboard)" == *"Dentist Reminder[20200101-0900][Call]"* ]]' ||
    fail "the page after No reads: $(clipboard)"

# --- Export as text and as RTF through the page's menu -------------------------------------------
export_as()
{
    click_page
    local base
    base=$(mapped_windows_of "$QUILLORY_PID")
    send_keys Menu
    wait_for "$E2E_TIMEOUT" more_windows_than "$base" || fail "the page's menu did not open"
    send_keys Down Return
    answer_prompt 'Save this item as a file\.' "$1"
    wait_for "$E2E_TIMEOUT" test -s "$1" || fail "no file $1"
}
export_as "$E2E_TMP/plums.txt"
grep -q $'Plums are fruit.\r$' "$E2E_TMP/plums.txt" || fail "the text export holds: $(od -c "$E2E_TMP/plums.txt" | head)"
export_as "$E2E_TMP/plums.rtf"
[[ "$(head -c 5 "$E2E_TMP/plums.rtf")" == '{\rtf' ]] || fail "the RTF export holds: $(head -c 80 "$E2E_TMP/plums.rtf")"
grep -Eq '\\b( |\\)' "$E2E_TMP/plums.rtf" || fail "the RTF export lost the bold word"

# --- Delete Apples; Exit; start again ------------------------------------------------------------
focus_window "$window"
send_keys ctrl+F3 ctrl+F3
# Plums, Wibble, Apples: the third row, where Pears stood before the drag.
wait_for "$E2E_TIMEOUT" row_is "$last_row" || fail "two steps down did not reach Apples"
toolbar_click 78
box=$(wait_for_window '^Confirm$') || fail "no question before the delete"
focus_window "$box"
send_keys alt+y
wait_for "$E2E_TIMEOUT" eval '[[ ! -e $buffer/Apples ]]' || fail "Apples is still in the buffer"
screenshot 06-deleted

order=$(buffer_order)
selected=$(selected_row_middle "$window") || fail "no selected row before the exit"
before=$(bounds)
exit_from_menu "$window"
# The deletion and the acknowledgement are not saved yet: the question comes, and Yes saves.
box=$(wait_for_window '^Confirm$') || fail "no save question at the exit"
focus_window "$box"
send_keys alt+y
wait_quillory_exit || fail "Exit did not end the program"
[[ ! -e $project/Apples ]] || fail "the deleted item is still in the saved project"

start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window at the second start"
focus_window "$window"
wait_until_placed "$window"
[[ "$(buffer_order)" == "$order" ]] || fail "the items came back as $(buffer_order), not $order"
wait_for "$E2E_TIMEOUT" row_is "$selected" || fail "the selection moved: row at $(selected_row_middle "$window"), was $selected"
[[ "$(bounds)" == "$before" ]] || fail "the window came back at $(bounds), not $before"
screenshot 07-next-day
echo "PASS: a user's day"
