#!/usr/bin/env bash
# wayland_kde.sh QUILLORY KWIN_PRESS: the hotkeys through KDE Plasma's own stack, headless: KWin
# (with kglobalaccel inside it), xdg-desktop-portal and its KDE backend on a private bus. KDE
# registers the five shortcuts but keeps Ctrl+F1..F4 for itself (desktop switching): the program
# names exactly the key it got and the ones the desktop kept. A key changed in KDE's settings
# reaches the program, and real key presses through KWin's fake input copy and hide.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/desktops.sh"
unprivileged_rerun "$@"
harness_init wayland_kde
harness_require kwin_wayland wl-paste wl-copy
QUILLORY=$1
KWIN_PRESS=$2
PORTAL=/usr/libexec/xdg-desktop-portal
PORTAL_KDE=$(ls /usr/lib/*/libexec/xdg-desktop-portal-kde /usr/libexec/xdg-desktop-portal-kde 2>/dev/null | head -n1)
PERMISSION_STORE=/usr/libexec/xdg-permission-store
for program in "$PORTAL" "$PORTAL_KDE" "$PERMISSION_STORE"; do
    [[ -x $program ]] || {
        echo "SKIP: ${program:-xdg-desktop-portal-kde} is not installed" >&2
        exit $E2E_SKIP
    }
done

data=$HOME/Documents/Quillory
project=$data/K.qlyp.dir
make_project "$project" Alpha="First page text" Beta="Second page text"
write_config "$project" Beta

# The session KDE's services expect, handed to everything the bus starts.
export XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-k
bus_service org.freedesktop.portal.Desktop "$PORTAL"
bus_service org.freedesktop.impl.portal.PermissionStore "$PERMISSION_STORE"
bus_service org.freedesktop.impl.portal.desktop.kde /usr/bin/env QT_QPA_PLATFORM=wayland "$PORTAL_KDE"
start_session_bus

# kglobalaccel answers on the bus once KWin is up.
kglobalaccel()
{
    gdbus call --session --dest org.kde.kglobalaccel --object-path /kglobalaccel \
        --method "org.kde.KGlobalAccel.$1" "${@:2}" 2>/dev/null
}

start_kwin()
{
    # kwin_wayland carries a file capability that a container may refuse to grant; a copy has none.
    cp "$(command -v kwin_wayland)" "$E2E_TMP/kwin_wayland" || fail "cannot copy kwin_wayland"
    # Fake input is for clients KWin's policy names; the test's presser is not installed, so
    # KWin is told not to ask. The scripting category carries the window lists asked for below.
    KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 QT_LOGGING_RULES="kwin_scripting=true" \
        "$E2E_TMP/kwin_wayland" --virtual --socket wayland-k --width 1280 --height 1024 >"$E2E_OUT/kwin.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for "$E2E_TIMEOUT" wait_for_socket wayland-k || fail "KWin did not start (see $E2E_OUT/kwin.log)"
    wait_for "$E2E_TIMEOUT" kglobalaccel allMainComponents >/dev/null || fail "kglobalaccel did not answer"
}

# kwin_shows TITLE_REGEX: KWin lists a window so titled (shown; a hidden one has no surface).
# A script of KWin's prints its list into KWin's log, each query's lines with a number of their own.
KWIN_QUERIES=0
kwin_shows()
{
    local script=$E2E_TMP/windows.js tag
    KWIN_QUERIES=$((KWIN_QUERIES + 1))
    tag="windows-$KWIN_QUERIES"
    printf 'var l = workspace.clientList();\nfor (var i = 0; i < l.length; ++i) print("%s " + l[i].caption);\nprint("%s-end");\n' \
        "$tag" "$tag" >"$script"
    gdbus call --session --dest org.kde.KWin --object-path /Scripting \
        --method org.kde.kwin.Scripting.unloadScript quillory-windows >/dev/null 2>&1
    gdbus call --session --dest org.kde.KWin --object-path /Scripting \
        --method org.kde.kwin.Scripting.loadScript "$script" quillory-windows >/dev/null || return 1
    gdbus call --session --dest org.kde.KWin --object-path /Scripting --method org.kde.kwin.Scripting.start >/dev/null ||
        return 1
    wait_for 5 grep -q "js: $tag-end" "$E2E_OUT/kwin.log" || return 1
    grep -Eq "js: $tag $1" "$E2E_OUT/kwin.log"
}

press_keys()
{
    WAYLAND_DISPLAY=wayland-k "$KWIN_PRESS" "$@" || fail "KWin's fake input did not take: $*"
}

start_kwin
start_stand_in --tray --notifications
start_quillory_native "$QUILLORY"
wait_for "$E2E_TIMEOUT" kwin_shows "Quillory - " || fail "no main window on KWin"

# What KDE really gave: the five shortcuts registered, only Ctrl+F5 with its key.
kept='The desktop keeps Ctrl-F1, Ctrl-F2, Ctrl-F3 and Ctrl-F4 for its own commands. You can give Quillory other keys in System Settings, Shortcuts, Quillory.'
wait_for "$E2E_TIMEOUT" logged "^notify Quillory.s hotkeys in this session:.*\(no key\) = Displays Quillory.*\\\\nCtrl-F5 = Minimises Quillory back to the system tray\\\\n\\\\n$kept\$" ||
    fail "the notice does not name the keys KDE gave: $(grep notify "$STAND_IN_LOG")"
actions=$(kglobalaccel allActionsForComponent "['Quillory']")
for id in show-window item-up item-down copy-page hide-window; do
    [[ $actions == *"'$id'"* ]] || fail "KDE has no shortcut $id: $actions"
done
ctrl_f5=$((0x04000000 + 0x01000034))
[[ $(kglobalaccel shortcut "['Quillory', 'hide-window', '', '']") == "([$ctrl_f5],)" ]] ||
    fail "Ctrl+F5 is not Quillory's in kglobalaccel"
[[ $(kglobalaccel shortcut "['Quillory', 'copy-page', '', '']") == "([0],)" ]] ||
    fail "KDE gave Quillory Ctrl+F4 after all; the test's premise is gone"

# The user gives the copy Meta+F4 in KDE's settings: the program hears of it and says so.
meta_f4=$((0x10000000 + 0x01000033))
kglobalaccel setForeignShortcut "['Quillory', 'copy-page', '', '']" "[$meta_f4]" >/dev/null ||
    fail "could not change the copy's key in kglobalaccel"
wait_for "$E2E_TIMEOUT" logged '^notify .*\\nMeta\+F4 = Copies the entire page displayed to the clipboard\\n.*keeps Ctrl-F1, Ctrl-F2 and Ctrl-F3 for' ||
    fail "the changed key was not noticed: $(grep notify "$STAND_IN_LOG" | tail -n1)"

# Real key presses, through KWin's own input path.
printf 'nothing copied yet' | wl-copy --type text/plain # as typed, whatever a MIME guesser makes of it
wait_for "$E2E_TIMEOUT" pasted_is "nothing copied yet" text/plain || fail "could not seed the clipboard"
press_keys meta f4
wait_for "$E2E_TIMEOUT" logged '^notify Quillory says.. Text copied to Clipboard.$' || fail "Meta+F4 did not copy"
wait_for "$E2E_TIMEOUT" pasted_is "Second page text" text/plain ||
    fail "after Meta+F4 the clipboard holds '$(pasted text/plain)'"
press_keys ctrl f5
wait_for "$E2E_TIMEOUT" eval '! kwin_shows "Quillory - "' || fail "Ctrl+F5 did not hide the window"
quillory_running || fail "the program ended"
echo "PASS: wayland_kde"
