#!/usr/bin/env bash
# item_drag.sh QUILLORY: the first entry of the item list, dragged with the mouse to below the last
# entry, becomes the last item: the working buffer is restamped in the new order at once.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init item_drag
start_x_session
harness_require convert

data=$HOME/Documents/Quillory
project=$data/Drag.qlyp.dir
make_project "$project" Alpha=one Beta=two Gamma=three
write_config "$project" Alpha

# buffer_order_is NAMES: the buffer's items, oldest stamp first.
buffer_order_is()
{
    [[ "$(ls -1tr "$data/Buffer" | tr '\n' ' ')" == "$1 " ]]
}

start_quillory "$1"
window=$(wait_for_main_window) || fail "no main window"
wait_for "$E2E_TIMEOUT" is_mapped "$window" || fail "the window is not shown"
focus_window "$window"
buffer_order_is "Alpha Beta Gamma" || fail "the buffer starts as: $(ls -1tr "$data/Buffer" | tr '\n' ' ')"

row=""
wait_for "$E2E_TIMEOUT" eval 'row=$(selected_row_middle "$window")' || fail "no selected row seen in the item list"
note "the first row's middle is $row pixels down the window"

xdotool mousemove --window "$window" --sync 60 "$row" mousedown 1
for step in 4 8 16 32 64 128 200; do
    xdotool mousemove --window "$window" --sync 60 $((row + step))
done
xdotool mouseup 1
wait_for "$E2E_TIMEOUT" buffer_order_is "Beta Gamma Alpha" ||
    fail "after the drag the buffer is ordered: $(ls -1tr "$data/Buffer" | tr '\n' ' ')"
screenshot dragged
quillory_running || fail "the program ended"
echo "PASS: item drag"
