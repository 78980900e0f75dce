#!/usr/bin/env bash
# links.sh QUILLORY: a Ctrl+click on a web address in a page hands the address, as one argument,
# to the desktop's URL opener (here a stand-in for xdg-open on PATH that records its arguments);
# page words written like command lines run nothing, and one that is no valid address is reported.
# Content | Website opens the README installed next to the program.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init links
start_x_session

QUILLORY=$1
record=$E2E_TMP/opened
mkdir -p "$E2E_TMP/bin"
cat >"$E2E_TMP/bin/xdg-open" <<'STANDIN'
#!/bin/sh
# Records the number of arguments, then each one on a line of its own.
{
    printf '%s\n' "$#"
    for argument in "$@"; do printf '%s\n' "$argument"; done
} >>"$OPENER_RECORD"
STANDIN
chmod +x "$E2E_TMP/bin/xdg-open"
export OPENER_RECORD=$record PATH=$E2E_TMP/bin:$PATH

# Three lines in a large font in a wide window, so each is an easy target and none wraps.
project=$HOME/Links.qlyp.dir
make_project "$project" Page=
# shellcheck disable=SC2016 # the page's text, not the shell's
show_page_wide "$QUILLORY" "$project" \
    '{\rtf1\ansi{\fonttbl{\f0 DejaVu Sans;}}\f0\fs48 http://a.org/?b&c;touch$IFS$HOME/p x\par www.x.org;touch$IFS$HOME/p\par www.a.org/?q=1\par}'

# ctrl_click Y: a Ctrl+click a few characters into the line at height Y of the window.
ctrl_click()
{
    xdotool mousemove --window "$window" 215 "$1" keydown ctrl click 1 keyup ctrl
}

record_lines_are()
{
    [[ -f $record && "$(wc -l <"$record")" == "$1" ]]
}

ctrl_click 70
wait_for "$E2E_TIMEOUT" record_lines_are 2 || fail "the opener was not called: $(cat "$record" 2>/dev/null)"
mapfile -t lines <"$record"
[[ ${lines[0]} == 1 && ${lines[1]} == 'http://a.org/?b&c;touch$IFS$HOME/p' ]] ||
    fail "the address arrived as: $(printf '[%s] ' "${lines[@]}")"

# A host no address can have: the opener is not asked, the user is told.
ctrl_click 105
box=$(wait_for_window '^Information$') || fail "no message for an address that is none"
screenshot not-an-address
focus_window "$box"
send_keys Return
wait_for "$E2E_TIMEOUT" visible_windows_are 0 '^Information$' || fail "OK did not close the message"
record_lines_are 2 || fail "the opener was called again: $(cat "$record")"
[[ ! -e $HOME/p ]] || fail "a word of the page ran a command"

# The opener needs a scheme, which a "www." address is given.
ctrl_click 140
wait_for "$E2E_TIMEOUT" record_lines_are 4 || fail "the opener was not called for www.: $(cat "$record")"
mapfile -t lines <"$record"
[[ ${lines[2]} == 1 && ${lines[3]} == 'http://www.a.org/?q=1' ]] ||
    fail "the www. address arrived as: $(printf '[%s] ' "${lines[@]:2}")"
# Content | Website: the README next to the program, handed over as a file address.
focus_window "$window"
send_keys alt Right Right Right Down Down Down Down Return
wait_for "$E2E_TIMEOUT" record_lines_are 6 || fail "Website did not reach the opener: $(cat "$record")"
mapfile -t lines <"$record"
readme=$(cd "$(dirname "$QUILLORY")/.." && pwd)/share/doc/quillory/README.md
[[ ${lines[4]} == 1 && ${lines[5]} == "file://$readme" ]] ||
    fail "Website opened: $(printf '[%s] ' "${lines[@]:4}"), not $readme"
quillory_running || fail "the program ended"
echo "PASS: addresses reach the opener as one argument, nothing else runs, Website opens the README"
