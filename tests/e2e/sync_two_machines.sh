#!/usr/bin/env bash
# sync_two_machines.sh QUILLORY: one project on two machines kept in step by Syncthing (two real
# devices on loopback, each with its own home, folder and X server, one Quillory on each). B edits
# Beta and saves; the new Beta reaches A's folder and A's list; A edits Alpha and saves. A's Save
# must not carry its old Beta back: both edits end on both machines.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init sync_two_machines
harness_require syncthing python3 xdotool
QUILLORY=$1
HERE=$(cd "$(dirname "$0")" && pwd)

root=$E2E_TMP
home_a=$root/a
home_b=$root/b
sync_a=$home_a/Sync
sync_b=$home_b/Sync
for dir in "$home_a/Documents" "$home_b/Documents" "$sync_a/.stfolder" "$sync_b/.stfolder" "$root/st-a" "$root/st-b"; do
    mkdir -p "$dir"
done
python3 "$HERE/tools/syncthing_pair.py" "$root/st-a" "$sync_a" "$root/st-b" "$sync_b" || fail "could not set up Syncthing"

for side in a b; do
    HOME=$root/$side STNOUPGRADE=1 syncthing serve --home="$root/st-$side" --no-browser --no-restart \
        >"$E2E_OUT/syncthing-$side.log" 2>&1 &
    E2E_PIDS+=($!)
done

# holds FILE TEXT: FILE exists and contains TEXT.
holds() { [[ -f $1 ]] && grep -qF -- "$2" "$1"; }

# Machine A makes the project; Syncthing brings it to B.
HOME=$home_a make_project "$sync_a/Notes.qlyp.dir" Alpha="Alpha page" Beta="Beta page"
wait_for 60 holds "$sync_b/Notes.qlyp.dir/Beta" "Beta page" || fail "Syncthing did not bring the project to B"
wait_for 30 holds "$sync_b/Notes.qlyp.dir/Alpha" "Alpha page" || fail "Syncthing did not bring Alpha to B"

# One X server and one Quillory per machine, each in its own home.
start_machine()
{
    local side=$1 item=$2
    export HOME=$root/$side
    write_config "$HOME/Sync/Notes.qlyp.dir" "$item"
    start_xvfb
    start_openbox
    start_quillory "$QUILLORY"
    declare -g "display_$side=$DISPLAY"
    declare -g "window_$side=$(wait_for_main_window)" || fail "no main window on $side"
}
start_machine a Alpha
start_machine b Beta

# on SIDE: the display and home of that machine for what follows, the caret in its page.
on()
{
    local display=display_$1 window=window_$1
    export DISPLAY=${!display} HOME=$root/$1
    focus_window "${!window}"
    wait_until_placed "${!window}"
    xdotool mousemove --window "${!window}" 400 250 click 1
}

# edits SIDE PAGE OTHER: SIDE types into PAGE (shown) and saves; Syncthing brings it to OTHER,
# whose program takes it into its buffer without a Save.
edits()
{
    local side=$1 page=$2 other=$3 mark=" edited on ${1^^}"
    on "$side"
    send_keys ctrl+End
    xdotool type --delay 20 "$mark"
    send_keys ctrl+s
    wait_for 15 holds "$root/$side/Sync/Notes.qlyp.dir/$page" "$mark" || fail "$side's Save did not write $page"
    wait_for 60 holds "$root/$other/Sync/Notes.qlyp.dir/$page" "$mark" ||
        fail "Syncthing did not bring $side's $page to $other"
    wait_for 15 holds "$root/$other/Documents/Quillory/Buffer/$page" "$mark" || fail "$other did not take $page in"
}

edits b Beta a
# A's Save after it: its old Beta must not go back.
edits a Alpha b

# Both edits on both machines, after Syncthing has had time to carry anything back.
for side in a b; do
    folder=$root/$side/Sync/Notes.qlyp.dir
    holds "$folder/Alpha" "edited on A" || fail "$side lost A's edit of Alpha"
    holds "$folder/Beta" "edited on B" || fail "$side lost B's edit of Beta: $(head -c 300 "$folder/Beta")"
    compgen -G "$folder/*sync-conflict*" >/dev/null && fail "$side has a conflict copy: $(ls "$folder")"
done
echo "PASS: sync_two_machines"
