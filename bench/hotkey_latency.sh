#!/usr/bin/env bash
# hotkey_latency.sh QUILLORY HOTKEYLATENCY [ROUNDS]: how long Ctrl+F4 takes to put the page on the
# clipboard, from the key until the clipboard's owner answers with the page's text, for a 2 KB and
# a 1 MB plain-text page, in a private X session with another program focused.
# HOTKEYLATENCY is tools/hotkeylatency, built where libxcb-xtest0-dev is installed; with
# -DQUILLORY_BENCH=ON, `ninja hotkey_latency` runs this script on the build's own binaries.
# A benchmark: it prints figures and never judges them. Exits non-zero only when it cannot run
# (77 when a tool is missing, 1 when the session or the program does not come up).
set -uo pipefail
source "$(dirname "$0")/../tests/e2e/harness.sh"
QUILLORY=${1:?usage: hotkey_latency.sh QUILLORY HOTKEYLATENCY [ROUNDS]}
PROBE=${2:?usage: hotkey_latency.sh QUILLORY HOTKEYLATENCY [ROUNDS]}
ROUNDS=${3:-30}
[[ -x $PROBE ]] || {
    echo "no hotkeylatency at $PROBE" >&2
    exit 1
}
harness_init hotkey_latency
harness_require xmessage
start_x_session

data=$HOME/$DATA_DIR_REL
MARKER="END OF PAGE"

# write_page FILE BYTES: ASCII lines ending in LF, the last cut short by the marker, so the file
# is exactly BYTES long and the editor's plain text is the file itself.
write_page()
{
    local file=$1 bytes=$2
    awk 'BEGIN { for (;;) printf "Page line %06d: prepared text to paste into another program, word after word.\n", ++n }' |
        head -c $((bytes - ${#MARKER})) >"$file"
    printf '%s' "$MARKER" >>"$file"
    touch -d "2010-10-10 00:00" "$file"
}

# measure LABEL BYTES: a one-page project of that size, the program started on it, the rounds.
measure()
{
    local label=$1 bytes=$2
    local project=$data/$label.qlyp.dir
    mkdir -p "$project"
    write_page "$project/Page" "$bytes"
    write_config "$project" Page

    start_quillory "$QUILLORY"
    local window
    window=$(wait_for_main_window) || fail "no main window for the $label page"
    wait_for "$E2E_TIMEOUT" title_is "$window" "Quillory - $project" ||
        fail "caption is '$(window_title "$window")' for the $label page"
    [[ -n ${OTHER_WINDOW:-} ]] || start_other_window
    focus_window "$OTHER_WINDOW"

    echo "== $label page ($bytes bytes)"
    "$PROBE" --rounds "$ROUNDS" --warmup 3 --length "$bytes" --prefix "Page line 000001:" --suffix "$MARKER" ||
        echo "   (hotkeylatency exited $?: see the lines above)"
    quillory_running || echo "   (the program ended during the rounds; see $E2E_OUT/quillory.log)"
    stop_quillory
}

measure 2KB 2048
measure 1MB 1048576
