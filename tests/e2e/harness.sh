# shellcheck shell=bash
# Shared by the end-to-end scripts (source it): a private X session (Xvfb, openbox, trayer), the
# real program under a temporary HOME, and helpers that wait for conditions with a deadline.
# Everything started here is recorded by PID and stopped by PID when the script exits.
#
#   harness_init NAME          output folder $E2E_OUT (screenshots, logs), scratch $E2E_TMP, HOME
#   harness_require TOOL...    exit 77 (skipped) when a tool is missing
#   start_x_session            Xvfb (sets DISPLAY), openbox, trayer
#   start_quillory BINARY      sets QUILLORY_PID;  stop_quillory;  wait_quillory_exit sets QUILLORY_EXIT
#   wait_for_main_window       the id of the window titled "Quillory - ..."
#   wait_for SECS CMD...       poll CMD until true or the deadline;  holds_for SECS CMD...
#   is_mapped / is_unmapped / title_is / visible_windows_are / clipboard_is   conditions
#   send_keys, clipboard [TARGET], set_clipboard, screenshot NAME, focus_window, start_other_window,
#   exit_from_menu WINDOW
#   write_config PROJECT ITEM, make_project PATH NAME=TEXT..., config_line_count
# A failure (fail MESSAGE) leaves a screenshot "failure" in $E2E_OUT.

E2E_SKIP=77
E2E_TIMEOUT=${E2E_TIMEOUT:-15}
E2E_PIDS=()

fail()
{
    echo "FAIL: $*" >&2
    [[ -n ${DISPLAY:-} && -n ${E2E_OUT:-} ]] && screenshot failure >/dev/null 2>&1
    exit 1
}

note()
{
    echo "-- $*" >&2
}

harness_cleanup()
{
    local status=$?
    local i pid
    # Newest first: the program before the tray, the window manager and the server it needs.
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${E2E_PIDS[i]}
        kill -0 "$pid" 2>/dev/null || continue
        kill -TERM "$pid" 2>/dev/null
        wait_for 5 process_gone "$pid" || kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    [[ -n ${E2E_TMP:-} ]] && rm -rf "$E2E_TMP"
    exit "$status"
}

# harness_init NAME: folders, the exit trap, and a clean environment for the X clients.
harness_init()
{
    E2E_OUT=${E2E_OUT_ROOT:-$PWD}/e2e-out/$1
    rm -rf "$E2E_OUT"
    mkdir -p "$E2E_OUT"
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/quillory-e2e.XXXXXX")
    E2E_HOME=$E2E_TMP/home
    mkdir -p "$E2E_HOME/Documents"
    mkdir -m 700 "$E2E_TMP/runtime"
    export XDG_RUNTIME_DIR=$E2E_TMP/runtime
    trap harness_cleanup EXIT
    trap 'exit 130' INT TERM
    unset WAYLAND_DISPLAY XDG_SESSION_TYPE XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_DOCUMENTS_DIR
    unset SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS
    export HOME=$E2E_HOME
}

harness_require()
{
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "SKIP: $tool is not installed" >&2
            exit $E2E_SKIP
        fi
    done
}

# wait_for SECONDS COMMAND...: true as soon as COMMAND succeeds, false at the deadline.
wait_for()
{
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        ((SECONDS >= deadline)) && return 1
        sleep 0.05
    done
}

# holds_for SECONDS COMMAND...: COMMAND stays true for the whole time (to see that something
# does not happen, such as a second box while the ticks go on).
holds_for()
{
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    while ((SECONDS < deadline)); do
        "$@" || return 1
        sleep 0.05
    done
}

process_gone()
{
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) || return 0
    [[ $state == Z* ]]
}

# start_xvfb [ARG...]: a server on a free display number; DISPLAY is set when it accepts clients.
start_xvfb()
{
    local fifo=$E2E_TMP/displayfd number=
    mkfifo "$fifo"
    # -noreset: else the server resets whenever its last client leaves, refusing new ones meanwhile.
    Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1280x1024x24 "$@" 3>"$fifo" >"$E2E_OUT/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    # The server writes its display number once it listens; EOF or the deadline means it failed.
    read -r -t "$E2E_TIMEOUT" number <"$fifo" || true
    rm -f "$fifo"
    [[ $number =~ ^[0-9]+$ ]] || fail "Xvfb did not start (see $E2E_OUT/xvfb.log)"
    export DISPLAY=:$number
    wait_for "$E2E_TIMEOUT" xdpyinfo_ok || fail "display $DISPLAY does not answer"
    # The first synthetic key switches the server to the test keyboard's key map, which makes every
    # client renew its key grabs; a key typed during that is lost. Get it over with before any.
    xdotool key shift 2>/dev/null
    note "Xvfb on $DISPLAY"
}

xdpyinfo_ok()
{
    xdpyinfo >/dev/null 2>&1
}

start_openbox()
{
    openbox --sm-disable >"$E2E_OUT/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for "$E2E_TIMEOUT" wm_running || fail "openbox did not take over the screen: $(wmctrl -m 2>&1)"
}

wm_running()
{
    wmctrl -m 2>/dev/null | grep -qi openbox
}

# start_trayer: a freedesktop tray, so the program's tray icon has somewhere to live.
start_trayer()
{
    trayer --edge bottom --align right --widthtype pixel --width 200 --heighttype pixel --height 24 \
        >"$E2E_OUT/trayer.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for "$E2E_TIMEOUT" tray_present || fail "trayer did not appear"
}

tray_present()
{
    xdotool search --classname trayer >/dev/null 2>&1
}

# start_x_session: Xvfb, openbox and trayer, with the tools the scripts use checked first.
start_x_session()
{
    harness_require Xvfb openbox trayer xdotool xclip wmctrl xwininfo xdpyinfo import
    start_xvfb "$@"
    start_openbox
    start_trayer
}

# start_quillory BINARY: the program on the xcb platform in the temporary HOME.
start_quillory()
{
    [[ -x $1 ]] || fail "no program at $1"
    QT_QPA_PLATFORM=xcb "$1" >>"$E2E_OUT/quillory.log" 2>&1 &
    QUILLORY_PID=$!
    E2E_PIDS+=("$QUILLORY_PID")
    note "quillory running as $QUILLORY_PID"
}

# wait_for_window REGEX [SECONDS]: prints the id of a window whose title matches REGEX.
wait_for_window()
{
    local regex=$1 seconds=${2:-$E2E_TIMEOUT}
    local deadline=$((SECONDS + seconds)) ids
    while :; do
        ids=$(xdotool search --name "$regex" 2>/dev/null) && [[ -n $ids ]] && {
            head -n1 <<<"$ids"
            return 0
        }
        ((SECONDS >= deadline)) && return 1
        sleep 0.05
    done
}

# The main window: the one whose title begins "Quillory - ".
wait_for_main_window()
{
    wait_for_window '^Quillory - ' "$@"
}

# placed WINDOW: the window stands where `config` puts it. The program moves it once more when the
# window manager's frame becomes known, so clicks at window coordinates wait for this first.
placed()
{
    local config=$HOME/$DATA_DIR_REL/config left top extents x y
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -o '[0-9][0-9, ]*$') || return 1
    [[ -f $config ]] || return 0
    left=$(sed -n '1s/\r$//p' "$config")
    top=$(sed -n '2s/\r$//p' "$config")
    # xwininfo, not xdotool, whose position of a framed window counts the frame twice.
    x=$(xwininfo -id "$1" 2>/dev/null | sed -n 's/.*Absolute upper-left X: *//p')
    y=$(xwininfo -id "$1" 2>/dev/null | sed -n 's/.*Absolute upper-left Y: *//p')
    [[ -n $x && -n $y ]] || return 1
    IFS=', ' read -r -a extents <<<"$extents"
    x=$((x - extents[0]))
    y=$((y - extents[2]))
    # The window manager keeps a window on the screen; a stored place off it is not reached.
    [[ $x == "$left" || $left -lt 0 ]] && [[ $y == "$top" || $top -lt 0 ]]
}

wait_until_placed()
{
    wait_for "$E2E_TIMEOUT" placed "$1" || fail "window $1 never reached its place: $(xwininfo -id "$1" | grep Absolute | tr '\n' ' ')"
}

# selected_row_middle WINDOW: the height, in the window, of the middle of the item list's selected
# row, from a screenshot: its text is drawn in maroon. The band searched lies left of the toolbar's
# buttons other than the save and open ones, which hold no maroon.
selected_row_middle()
{
    import -window "$1" "$E2E_TMP/list.png" || return 1
    convert "$E2E_TMP/list.png" -crop 44x400+2+0 +repage -depth 8 -alpha off txt:- | awk -F'[(),: ]+' '
        /^[0-9]/ && $3 >= 90 && $3 <= 170 && $4 < 50 && $5 < 50 { maroon[$2] = 1 }
        END {
            for (y = 0; y < 400; y++) {
                if (!(y in maroon)) continue
                if (start == "") start = y
                else if (y - end > 2) break
                end = y
            }
            if (start == "" || end - start < 4) exit 1
            print int((start + end) / 2)
        }'
}

window_title()
{
    xdotool getwindowname "$1"
}

# count_visible_windows REGEX: how many mapped windows are titled that way.
count_visible_windows()
{
    local ids
    ids=$(xdotool search --onlyvisible --name "$1" 2>/dev/null) || {
        echo 0
        return
    }
    grep -c . <<<"$ids"
}

# visible_windows_are N REGEX: for wait_for and holds_for.
visible_windows_are()
{
    [[ "$(count_visible_windows "$2")" == "$1" ]]
}

# title_is WINDOW TEXT: for wait_for.
title_is()
{
    [[ "$(window_title "$1" 2>/dev/null)" == "$2" ]]
}

is_mapped()
{
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

is_unmapped()
{
    ! is_mapped "$1"
}

# mapped_windows_of PID: how many windows of the process are shown (its main window, its tray icon,
# an open menu or box).
mapped_windows_of()
{
    local ids
    ids=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null) || {
        echo 0
        return
    }
    grep -c . <<<"$ids"
}

more_windows_than()
{
    (($(mapped_windows_of "$QUILLORY_PID") > $1))
}

# exit_from_menu WINDOW: File|Exit from the keyboard, each key sent once what it needs is there:
# the window focused, then the menu open. Alt alone puts the menu bar on "File", Down opens it
# with its first entry current, and Up wraps round to its last entry, "Exit".
exit_from_menu()
{
    local base
    for _ in 1 2 3; do
        focus_window "$1"
        base=$(mapped_windows_of "$QUILLORY_PID")
        send_keys alt Down
        if wait_for 5 more_windows_than "$base"; then
            send_keys Up Return
            return 0
        fi
        send_keys Escape Escape # a key lost on a busy machine: start again from nothing open
    done
    fail "the File menu did not open"
}

# active_window: the id of the window that has the focus, as the window manager says.
active_window()
{
    xdotool getactivewindow 2>/dev/null
}

# send_keys KEY...: xdotool key names (ctrl+F4, alt+f, Down, Return).
send_keys()
{
    xdotool key --delay 30 "$@"
}

# clipboard [TARGET]: the clipboard's content as TARGET (default text), from its owner.
clipboard()
{
    if [[ -n ${1:-} ]]; then
        timeout 5 xclip -o -selection clipboard -t "$1" 2>/dev/null
    else
        timeout 5 xclip -o -selection clipboard 2>/dev/null
    fi
}

# clipboard_is TEXT [TARGET]: for wait_for.
clipboard_is()
{
    [[ "$(clipboard "${2:-}")" == "$1" ]]
}

# set_clipboard TEXT: owned by a background xclip, so a copy can be seen to replace it.
set_clipboard()
{
    # -quiet keeps xclip in the foreground, so the PID recorded is the owner itself.
    printf '%s' "$1" | xclip -quiet -i -selection clipboard >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    wait_for "$E2E_TIMEOUT" clipboard_is "$1" || fail "could not seed the clipboard"
}

screenshot()
{
    import -window root "$E2E_OUT/$1.png" && note "screenshot $E2E_OUT/$1.png"
}

quillory_running()
{
    ! process_gone "$QUILLORY_PID"
}

# stop_quillory: ends the program by its PID (TERM, then KILL at the deadline).
stop_quillory()
{
    kill -TERM "$QUILLORY_PID" 2>/dev/null
    wait_for 5 process_gone "$QUILLORY_PID" || kill -KILL "$QUILLORY_PID" 2>/dev/null
    wait "$QUILLORY_PID" 2>/dev/null
    return 0
}

# wait_quillory_exit [SECONDS]: sets QUILLORY_EXIT to the exit code; fails when the program is still
# running. Not for a command substitution: only this shell can wait for its own child.
wait_quillory_exit()
{
    wait_for "${1:-$E2E_TIMEOUT}" process_gone "$QUILLORY_PID" || return 1
    # Read by the scripts that wait.
    export QUILLORY_EXIT=0
    wait "$QUILLORY_PID" || QUILLORY_EXIT=$?
}

# start_other_window: a small X client of another program, focused, to type hotkeys at.
start_other_window()
{
    xmessage -name e2e-other -title 'Other program' 'another program has the focus' \
        >"$E2E_OUT/xmessage.log" 2>&1 &
    E2E_PIDS+=($!)
    OTHER_WINDOW=$(wait_for_window '^Other program$') || fail "the other window did not appear"
    focus_window "$OTHER_WINDOW"
}

# focus_window WINDOW: asks the window manager to activate it until it has the focus (a request
# made before the window manager has taken the window on is lost).
focus_window()
{
    wait_for "$E2E_TIMEOUT" is_mapped "$1" || fail "window $1 is not shown, cannot focus it"
    wait_for "$E2E_TIMEOUT" activated "$1" || fail "window $1 did not get the focus"
}

activated()
{
    window_active "$1" && return 0
    xdotool windowactivate "$1" >/dev/null 2>&1
    window_active "$1"
}

window_active()
{
    [[ "$(active_window)" == "$1" ]]
}

# Data folder helpers: a settings file and a project, before the program starts.

DATA_DIR_REL=Documents/Quillory

# write_config PROJECT_PATH CURRENT_ITEM: a 16-line settings file, CR LF after every line.
write_config()
{
    local dir=$HOME/$DATA_DIR_REL
    mkdir -p "$dir"
    local lines=(0 0 655 539 "$1" 185 "$2" 0 0 0 0 0 0 0 1 55)
    printf '%s\r\n' "${lines[@]}" >"$dir/config"
}

# make_project PATH ITEM=TEXT...: plain-text items, stamped in the given order from 10 Oct 2010.
make_project()
{
    local path=$1 position=0 arg name
    shift
    mkdir -p "$path"
    for arg in "$@"; do
        name=${arg%%=*}
        printf '%s' "${arg#*=}" >"$path/$name"
        touch -d "$(date -d "2010-10-10 +$position days" +%F) 00:00" "$path/$name"
        position=$((position + 1))
    done
}

# show_page_wide QUILLORY PROJECT RTF: PROJECT's one item "Page" holding RTF, opened in a wide
# window with the top of the page in view; sets `window`. For scripts that click into the text.
show_page_wide()
{
    printf '%s' "$3" >"$2/Page"
    touch -d '2010-10-10 00:00' "$2/Page"
    write_config "$2" Page
    sed -i '3s/.*/1200\r/' "$HOME/$DATA_DIR_REL/config"
    start_quillory "$1"
    window=$(wait_for_main_window "$E2E_TIMEOUT") || fail "no main window"
    focus_window "$window"
    wait_until_placed "$window"
    send_keys ctrl+Home # whatever the start-up scrolled to
}

# config_line_count: lines ended by CR LF in the settings file (0 when there is none).
config_line_count()
{
    local file=$HOME/$DATA_DIR_REL/config
    [[ -f $file ]] || {
        echo 0
        return
    }
    grep -c $'\r$' "$file" || true
}
