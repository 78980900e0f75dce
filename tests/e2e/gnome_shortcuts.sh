#!/usr/bin/env bash
# gnome_shortcuts.sh QUILLORY: GNOME without the shortcuts portal, where the program's key grabs
# reach only X11 programs (XWayland, here Xvfb). Once, the program offers to add its hotkeys to
# GNOME's own custom shortcuts; Yes writes them through GSettings into a private dconf (on a
# private bus and home), leaving alone a key GNOME already uses and the user's own shortcut. The
# command written there acts on the running program, and the next start asks nothing.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/desktops.sh"
harness_init gnome_shortcuts
harness_require dconf gsettings xmessage
DCONF_SERVICE=$(ls /usr/libexec/dconf-service /usr/lib/dconf/dconf-service 2>/dev/null | head -n1)
[[ -x $DCONF_SERVICE ]] || {
    echo "SKIP: dconf-service is not installed" >&2
    exit $E2E_SKIP
}
gsettings list-schemas 2>/dev/null | grep -qx org.gnome.settings-daemon.plugins.media-keys || {
    echo "SKIP: GNOME's media-keys schema is not installed" >&2
    exit $E2E_SKIP
}
QUILLORY=$1

data=$HOME/Documents/Quillory
project=$data/G.qlyp.dir
make_project "$project" Alpha="First page text" Beta="Second page text"
write_config "$project" Alpha

export XDG_CONFIG_HOME=$HOME/.config GSETTINGS_BACKEND=dconf
bus_service ca.desrt.dconf "$DCONF_SERVICE"
start_session_bus
media=/org/gnome/settings-daemon/plugins/media-keys
# GNOME uses Ctrl+F4 here (as a user may have bound it), and the user has a shortcut of their own.
gsettings set org.gnome.desktop.wm.keybindings switch-to-workspace-4 "['<Primary>F4']" || fail "gsettings failed"
dconf write "$media/custom-keybindings/custom0/name" "'Terminal'"
dconf write "$media/custom-keybindings/custom0/binding" "'<Super>t'"
dconf write "$media/custom-keybindings/custom0/command" "'xterm'"
dconf write "$media/custom-keybindings" "['$media/custom-keybindings/custom0/']"

start_x_session
# A GNOME session on Wayland, seen through XWayland.
start_gnome_quillory()
{
    XDG_CURRENT_DESKTOP=GNOME WAYLAND_DISPLAY=wayland-gnome start_quillory "$QUILLORY"
}

start_gnome_quillory
window=$(wait_for_main_window) || fail "no main window"
box=$(wait_for_window '^Confirm$') || fail "no offer to add the hotkeys to GNOME's shortcuts"
screenshot offer
focus_window "$box"
send_keys Return
wait_for "$E2E_TIMEOUT" visible_windows_are 0 '^Confirm$' || fail "Yes did not close the offer"

# bound OPTION: the dconf path of the shortcut running `quillory OPTION`.
bound() { echo "$media/custom-keybindings/quillory-${1#--}/"; }
listed=$(dconf read "$media/custom-keybindings")
for option in --show --previous --next --hide; do
    [[ $listed == *"'$(bound $option)'"* ]] || fail "$option is not listed among GNOME's shortcuts: $listed"
done
[[ $listed == "['$media/custom-keybindings/custom0/', "* ]] || fail "the user's own shortcut moved or went: $listed"
[[ $listed != *quillory-copy* ]] || fail "Ctrl+F4, which GNOME uses, was bound as well: $listed"
[[ $(dconf read "$(bound --next)binding") == "'<Control>F3'" ]] || fail "--next is not on Ctrl+F3"
[[ $(dconf read "$(bound --next)name") == "'Quillory: move down the item list'" ]] || fail "--next has no name"
[[ $(dconf read "$media/custom-keybindings/custom0/command") == "'xterm'" ]] || fail "the user's shortcut changed"
[[ $(gsettings get org.gnome.desktop.wm.keybindings switch-to-workspace-4) == "['<Primary>F4']" ]] ||
    fail "GNOME's own key changed"

# What GNOME would run on Ctrl+F5 hides the running program's window.
command=$(dconf read "$(bound --hide)command")
command=${command#\'}
command=${command%\'}
[[ $command == *' --hide' ]] || fail "the hide shortcut runs '$command'"
QT_QPA_PLATFORM=xcb timeout 10 sh -c "$command" || fail "'$command' failed"
wait_for "$E2E_TIMEOUT" is_unmapped "$window" || fail "the bound command did not hide the window"
stop_quillory

# The next start asks nothing: the shortcuts are there.
start_gnome_quillory
wait_for_main_window >/dev/null || fail "no main window at the next start"
holds_for 3 visible_windows_are 0 '^Confirm$' || fail "the offer came again"
echo "PASS: gnome_shortcuts"
