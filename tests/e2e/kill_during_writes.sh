#!/usr/bin/env bash
# kill_during_writes.sh QUILLORY [KILLS [REMINDER_KILLS]]: the real program, killed with SIGKILL at
# random moments while it saves (Ctrl+S), switches pages (Ctrl+F3, which writes the page shown) and
# acknowledges a due reminder, KILLS times in all (100 by default), REMINDER_KILLS of them (1 by
# default) right after the reminder question, which comes 20 seconds after a start. After each kill
# every page of the project folder and of the working buffer holds a whole version, old or new, and
# none is missing; the temporaries of an interrupted write are gone once the program runs again.
#
# Each page Pnn holds the text "Pnn vK"; an edit replaces it whole with the next version, so every
# version a file may hold is known. A project version never goes back.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init kill_during_writes
start_x_session
harness_require python3

program=$1
kills=${2:-100}
reminder_kills=${3:-1}
data=$HOME/Documents/Quillory
project=$data/Kill.qlyp.dir
pages=20
tag_stamp=20160725-1500

args=()
for ((i = 1; i <= pages; i++)); do
    args+=("$(printf 'P%02d' "$i")=$(printf 'P%02d' "$i") v0")
done
# The last page carries a reminder that is due from the first check on.
args+=('Tag={\rtf1\ansi\deff0{\fonttbl{\f0\fnil Arial;}}\f0\fs20 Tag: Reminder\{'"$tag_stamp"'\}[kill]\par
}')
make_project "$project" "${args[@]}"
write_config "$project" P01

declare -A typed saved_floor
for ((i = 1; i <= pages; i++)); do
    name=$(printf 'P%02d' "$i")
    typed[$name]=0
    saved_floor[$name]=0
done
RANDOM=20261209

# versions FOLDER: a line "NAME K" for each page Pnn holding a whole "Pnn vK" (a plain first
# version, or a page the program wrote, which ends its rich text), "NAME -" for one that holds
# none, "Tag armed", "Tag acknowledged" (whole) or "Tag -" for the reminder page, and "stray NAME"
# for any other file but our temporaries. One process for all the files: this runs 2 x KILLS times.
versions()
{
    python3 - "$1" "$tag_stamp" <<'PY'
import os, re, sys
folder, stamp = sys.argv[1], sys.argv[2]
for name in sorted(os.listdir(folder)):
    if re.fullmatch(r"\.qly-[0-9a-f]{16}\.tmp", name):
        continue
    text = open(os.path.join(folder, name), "rb").read().decode("latin-1")
    whole = text.startswith("{\\rtf") and text.rstrip().endswith("}")
    if name == "Tag":
        bare = text.replace("\\", "")
        tag = re.search(r"Tag: Reminder([{\[])" + stamp + r"[}\]]\[kill\]", bare)
        print("Tag", "-" if not (whole and tag) else "armed" if tag.group(1) == "{" else "acknowledged")
    elif re.fullmatch(r"P\d\d", name):
        found = re.findall(name + r" v(\d+)", text)
        if text == name + " v0":
            print(name, 0)
        else:
            print(name, found[0] if whole and len(found) == 1 else "-")
    else:
        print("stray", name)
PY
}

temporaries_in()
{
    find "$1" -maxdepth 1 -name '.qly-*.tmp' | grep -c . || true
}

killed_with_temporaries=0
acknowledged=0 # kills after which the buffer held the acknowledged tag
# check_folder FOLDER KIND: every page whole, none missing, nothing else but temporaries.
check_folder()
{
    local folder=$1 kind=$2 name version
    local -A seen=()
    while read -r name version; do
        [[ $name == stray ]] && fail "kill $kill: a stray file $version in the $kind folder"
        [[ $version == - ]] && fail "kill $kill: $kind page $name holds no whole version: $(head -c 300 "$folder/$name")"
        seen[$name]=$version
        if [[ $name == Tag ]]; then
            [[ $version == acknowledged && $kind == buffer ]] && acknowledged=$((acknowledged + 1))
            continue
        fi
        ((version <= typed[$name])) || fail "kill $kill: $kind page $name holds v$version, never typed"
        if [[ $kind == project ]]; then
            ((version >= saved_floor[$name])) ||
                fail "kill $kill: project page $name went back from v${saved_floor[$name]} to v$version"
            saved_floor[$name]=$version
        fi
    done < <(versions "$folder")
    for name in "${!typed[@]}" Tag; do
        [[ -n ${seen[$name]:-} ]] || fail "kill $kill: $kind page $name is lost"
    done
}

# shown_page: the page shown, read with Ctrl+F4 from the clipboard ("Pnn vK" or the tag's page).
shown_page()
{
    local text
    send_keys ctrl+F4
    wait_for "$E2E_TIMEOUT" clipboard_matches || fail "kill $kill: Ctrl+F4 copied '$(clipboard)'"
    text=$(clipboard)
    echo "${text%% *}"
}

clipboard_matches()
{
    [[ "$(clipboard)" =~ ^(P[0-9]{2}\ v[0-9]+|Tag:\ Reminder.*)$ ]]
}

started_clean()
{
    (($(temporaries_in "$data/Buffer") + $(temporaries_in "$project") == 0))
}

start_time=$SECONDS
# The start after a kill may first ask whether to restore the pages the killed run did not save,
# before the main window is shown; either answer keeps every page whole.
main_window_or_question()
{
    xdotool search --name '^(Quillory - |Confirm$)' >/dev/null 2>&1
}

answer_restore_question()
{
    local box
    wait_for "$E2E_TIMEOUT" main_window_or_question || fail "kill $kill: neither a window nor a question"
    xdotool search --name '^Quillory - ' >/dev/null 2>&1 && return 0
    box=$(wait_for_window '^Confirm$') || return 0
    restore_questions=$((restore_questions + 1))
    focus_window "$box"
    if ((RANDOM % 2)); then send_keys Return; else send_keys Escape; fi
}

restore_questions=0
for ((kill = 1; kill <= kills; kill++)); do
    start_quillory "$program"
    answer_restore_question
    window=$(wait_for_main_window) || fail "kill $kill: no main window after the restart"
    wait_for "$E2E_TIMEOUT" is_mapped "$window" || fail "kill $kill: the window was not shown"
    # The start has refilled the buffer from the project: what a kill left half-done is cleared.
    started_clean || fail "kill $kill: temporaries survived the start: $(ls -A "$data/Buffer" "$project")"
    focus_window "$window"

    if ((kill <= reminder_kills)); then
        # The question comes at the first check; the answer (Yes or No) acknowledges the tag.
        box=$(wait_for_window '^Confirm$' 25) || fail "kill $kill: no reminder question"
        focus_window "$box"
        if ((RANDOM % 2)); then send_keys Return; else send_keys Escape; fi
    else
        # A switch first gives the editor the keyboard focus; then Ctrl+F4 names the page shown,
        # on a clipboard left empty by the kill of its owner.
        send_keys ctrl+F3
        shown=$(shown_page)
        actions=$((1 + RANDOM % 4))
        for ((a = 0; a < actions; a++)); do
            # Three switches, four edits and three saves in ten.
            roll=$((RANDOM % 10))
            case $((roll < 3 ? 0 : roll < 7 ? 1 : 2)) in
            0)
                # Ctrl+F3 writes the page shown and moves down; at the end of the list, back up.
                if [[ $shown == Tag ]]; then
                    send_keys ctrl+F2
                    shown=$(printf 'P%02d' "$pages")
                else
                    send_keys ctrl+F3
                    n=$((10#${shown#P} + 1))
                    if ((n > pages)); then shown=Tag; else shown=$(printf 'P%02d' "$n"); fi
                fi
                ;;
            1)
                [[ $shown == Tag ]] && continue
                typed[$shown]=$((typed[$shown] + 1))
                send_keys ctrl+a
                xdotool type --delay 5 "$shown v${typed[$shown]}"
                ;;
            2)
                send_keys ctrl+s
                ;;
            esac
        done
    fi
    # Mostly within the first writes those keys started (a save takes some milliseconds), now and
    # then later, once they are done.
    if ((RANDOM % 4)); then delay=$((RANDOM % 40)); else delay=$((RANDOM % 300)); fi
    sleep "0.$(printf '%03d' "$delay")"
    kill -KILL "$QUILLORY_PID"
    wait "$QUILLORY_PID" 2>/dev/null
    wait_for 5 process_gone "$QUILLORY_PID" || fail "kill $kill: the program survived SIGKILL"

    check_folder "$project" project
    check_folder "$data/Buffer" buffer
    (($(temporaries_in "$data/Buffer") + $(temporaries_in "$project") > 0)) &&
        killed_with_temporaries=$((killed_with_temporaries + 1))
done

# One last start clears what the last kill left.
start_quillory "$program"
answer_restore_question
window=$(wait_for_main_window) || fail "no main window after the last kill"
wait_for "$E2E_TIMEOUT" is_mapped "$window" || fail "the window was not shown after the last kill"
started_clean || fail "temporaries survived the last start"
stop_quillory

edits=0
for name in "${!typed[@]}"; do edits=$((edits + typed[$name])); done
echo "PASS: $kills kills ($reminder_kills after a reminder question, $acknowledged with the tag acknowledged) in $((SECONDS - start_time)) s, $edits versions typed;" \
    "$killed_with_temporaries kills left temporaries, each cleared by the next start;" \
    "$restore_questions starts offered to restore unsaved pages"
