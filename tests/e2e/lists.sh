#!/usr/bin/env bash
# lists.sh QUILLORY: the item and recent lists as the screen shows them, checked by their pixels.
# With "Enable Function Key Copy" on, rows 1-9 carry a label at their right end and a long name is
# shortened to leave room for it; the selected row is maroon on the button face; a recent entry is
# its name over its folder in small print. A second start with the option off: no labels, and the
# long name takes the room the labels had.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init lists
harness_require convert compare
start_x_session
QUILLORY=$1

data=$HOME/Documents/Quillory
project=$data/Lists.qlyp.dir
items=()
for i in 1 2 3 4 5 6 7 8 9 10 11; do
    items+=("Item $i=page $i")
done
items+=("A rather long item name that cannot possibly fit=long")
make_project "$project" "${items[@]}"

# measure IMAGE: facts about the lists in a screenshot of the window, as NAME=VALUE lines. The item
# list's first row is the first pure white (unselected) pixel below the toolbar and the search field, in a
# column where the toolbar has a gap; its rows are 20 pixels high. "Ink" is a text pixel: dark, or clearly coloured.
measure()
{
    # The left column alone: a sixth of the pixels to enumerate.
    convert "$1" -crop 260x2000+0+0 +repage -depth 8 txt:- | awk -F'[(),: ]+' '
        NR > 1 { r[$1, $2] = $3; g[$1, $2] = $4; b[$1, $2] = $5; if ($1 > w) w = $1; if ($2 > h) h = $2 }
        function white(x, y) { return r[x, y] == 255 && g[x, y] == 255 && b[x, y] == 255 }
        function ink(x, y) { return r[x, y] + g[x, y] + b[x, y] < 450 }
        function maroon(x, y) { return r[x, y] > 100 && g[x, y] < 70 && b[x, y] < 70 }
        END {
            for (top = 30; top < h && !white(118, top); top++);
            # That is the search field above the list: past it, and past the frames below it.
            for (; top < h && white(118, top); top++);
            for (; top < h && !white(118, top); top++);
            for (left = 0; left < w && !white(left, top + 1); left++);
            for (right = left; right < w && white(right + 1, top + 1); right++);
            if (top >= h || right - left < 100) { print "found=0"; exit }
            print "found=1"; print "width=" (right - left + 1)
            for (i = 0; i < 12; i++) {
                y0 = top + 20 * i; labels = 0; far = -1; dark = 0; red = 0
                for (y = y0 + 5; y <= y0 + 16; y++)
                    for (x = right - 15; x <= right - 2; x++) labels += ink(x, y)
                for (y = y0 + 2; y <= y0 + 18; y++)
                    for (x = left; x <= right; x++) {
                        if (ink(x, y) && x - left > far) far = x - left
                        if (x > right - 20) continue
                        dark += ink(x, y); red += maroon(x, y)
                    }
                print "labels" i "=" labels; print "far" i "=" far; print "ink" i "=" dark; print "maroon" i "=" red
                print "background" i "=" r[left + 1, y0 + 1] "," g[left + 1, y0 + 1] "," b[left + 1, y0 + 1]
            }
            # Below the item list: its frame, the splitter, the recent list frame, then its first row.
            for (y = top + 240; y < h && white(left + 1, y); y++);
            for (; y < h && !white(left + 1, y); y++);
            recent = y; name = 0; folder = 0; high = h; low = -1
            for (y = recent + 2; y <= recent + 16; y++)
                for (x = left; x <= right; x++) name += ink(x, y)
            for (y = recent + 17; y <= recent + 29; y++)
                for (x = left; x <= right; x++)
                    if (ink(x, y)) { folder++; if (y < high) high = y; if (y > low) low = y }
            print "recentName=" name; print "recentFolder=" folder; print "folderHeight=" (low - high + 1)
        }'
}

# shot NAME: a screenshot of the main window once both lists are painted; sets the measures as M_*.
shot()
{
    local file=$E2E_OUT/$1.png
    lists_painted()
    {
        import -window "$window" "$file" 2>/dev/null || return 1
        MEASURES=$(measure "$file")
        grep -qx 'found=1' <<<"$MEASURES" && ! grep -q '^ink0=0$' <<<"$MEASURES" &&
            ! grep -q '^recentFolder=0$' <<<"$MEASURES"
    }
    wait_for "$E2E_TIMEOUT" lists_painted || fail "the lists were not painted ($1): $MEASURES"
    while IFS='=' read -r name value; do
        printf -v "M_$name" '%s' "$value"
    done <<<"$MEASURES"
    note "$1: $(tr '\n' ' ' <<<"$MEASURES")"
}

start_with_labels()
{
    write_config "$project" "Item 4"
    sed -i "14s/.*/$1\r/" "$HOME/$DATA_DIR_REL/config"
    printf '%s\r\n' "/home/ann/Notes/Work.QLYP.DIR" "$project" >"$data/Recent"
    start_quillory "$QUILLORY"
    window=$(wait_for_main_window) || fail "no main window"
    wait_for "$E2E_TIMEOUT" is_mapped "$window" || fail "the window is not shown"
}

start_with_labels 1
shot labels-on
for i in 0 1 2 3 4 5 6 7 8; do
    v=M_labels$i
    ((${!v} > 0)) || fail "row $((i + 1)) has no F$((i + 1)) label"
done
((M_labels9 == 0 && M_labels10 == 0)) || fail "rows 10 and 11 carry a label"
[[ $M_background3 != 255,255,255 && $M_background2 == 255,255,255 ]] ||
    fail "selected row background $M_background3, unselected $M_background2"
((M_maroon3 > 0 && M_maroon2 == 0 && M_maroon11 == 0)) || fail "the selected row's text is not maroon"
# The list is two frame pixels wider than its rows: room for the long name is width + 2 - 26.
labelled_far=$M_far11
((labelled_far > 0 && labelled_far <= 5 + M_width + 2 - 26)) ||
    fail "the long name reaches x=$labelled_far of $M_width: not shortened for the labels"
((M_recentName > 0 && M_recentFolder > 0 && M_folderHeight <= 8)) ||
    fail "recent entry: name ink $M_recentName, folder ink $M_recentFolder over $M_folderHeight rows"
stop_quillory

start_with_labels 0
shot labels-off
for i in 0 1 2 3 4 5 6 7 8 9; do
    v=M_labels$i
    ((${!v} == 0)) || fail "row $((i + 1)) has a label with the option off"
done
((M_far11 <= 5 + M_width + 2 - 10 && M_far11 > labelled_far + 6)) ||
    fail "without labels the long name reaches x=$M_far11, with them x=$labelled_far"
differs=$(compare -metric AE -crop "16x180+$((M_width - 14))+0" "$E2E_OUT/labels-on.png" "$E2E_OUT/labels-off.png" null: 2>&1)
differs=${differs%% *}
[[ $differs =~ ^[0-9]+$ ]] && ((differs > 0)) || fail "the label column is the same with the option off ($differs)"
quillory_running || fail "the program ended"
echo "PASS: lists"
