# shellcheck shell=bash
# Sourced after harness.sh by the end-to-end scripts of today's desktops: a private session bus
# with stand-in desktop services, Wayland compositors with headless backends, and the program as a
# native Wayland client. Everything started is recorded by PID in E2E_PIDS like the rest.
#
#   unprivileged_rerun "$@"     as root: runs the script again as nobody (sway refuses root)
#   bus_service NAME EXEC...    a D-Bus service the private bus may start (before start_session_bus)
#   start_session_bus           a private dbus-daemon; sets DBUS_SESSION_BUS_ADDRESS
#   start_stand_in ARG...       tests/e2e/stand_in_desktop.py ARG...; its log is $STAND_IN_LOG
#   stop_stand_in
#   logged REGEX                the stand-in logged a matching line (for wait_for)
#   press SHORTCUT [TOKEN]      the stand-in portal emits Activated for SHORTCUT
#   start_sway, start_weston    a headless compositor; sets WAYLAND_DISPLAY
#   start_quillory_native BIN   the program on the platform it picks itself, no X display
#   start_other_client          a Wayland client of another program, which takes the focus

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The system's Python, which has the distribution's D-Bus bindings (another one first in PATH may not).
PYTHON=python3
[[ -x /usr/bin/python3 ]] && PYTHON=/usr/bin/python3

# unprivileged_rerun "$@": CI may run as root, which sway refuses; the compositor, the bus, the
# stand-ins and the program then all run as nobody. The scripts and the programs named as
# arguments are copied where nobody may read them, since a checkout under root's home is closed to
# others; the output goes where nobody may write.
unprivileged_rerun()
{
    [[ $(id -u) == 0 ]] || return 0
    harness_require setpriv
    local copy arg status args=()
    copy=$(mktemp -d "${TMPDIR:-/tmp}/quillory-unprivileged.XXXXXX")
    chmod 755 "$copy"
    cp "$HERE"/*.sh "$HERE"/*.py "$0" "$copy/"
    for arg in "$@"; do
        if [[ -f $arg ]]; then
            cp "$arg" "$copy/"
            arg=$copy/$(basename "$arg")
        fi
        args+=("$arg")
    done
    local out=${E2E_OUT_ROOT:-$PWD}/unprivileged
    mkdir -p "$out" && chown 65534:65534 "$out"
    setpriv --reuid=65534 --regid=65534 --clear-groups -- test -w "$out" || out=$copy/out
    mkdir -p "$out" && chown 65534:65534 "$out"
    if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]*) && -f ${BASH_REMATCH[1]} ]]; then
        cp "${BASH_REMATCH[1]}" "$copy/lsan.supp"
        LSAN_OPTIONS=${LSAN_OPTIONS/${BASH_REMATCH[1]}/$copy/lsan.supp}
    fi
    E2E_OUT_ROOT=$out setpriv --reuid=65534 --regid=65534 --clear-groups -- \
        bash "$copy/$(basename "$0")" "${args[@]}"
    status=$?
    [[ $out == "$copy/out" ]] && echo "output in $out" >&2
    find "$copy" -maxdepth 1 -type f -delete
    rmdir "$copy" 2>/dev/null
    exit $status
}

# bus_service NAME EXEC...: the private bus starts EXEC when NAME is first asked for. The bus
# starts only the services a test names: the session configuration would also start the
# installed ones (the real portal among them), which race a stand-in for its name.
bus_service()
{
    local name=$1
    shift
    mkdir -p "$E2E_TMP/bus-services"
    printf '[D-BUS Service]\nName=%s\nExec=%s\n' "$name" "$*" >"$E2E_TMP/bus-services/$name.service"
}

start_session_bus()
{
    harness_require dbus-daemon gdbus
    "$PYTHON" -c 'import dbus, gi' 2>/dev/null || {
        echo "SKIP: python3-dbus or python3-gi is not installed" >&2
        exit $E2E_SKIP
    }
    local fifo=$E2E_TMP/bus-address address=
    mkdir -p "$E2E_TMP/bus-services"
    cat >"$E2E_TMP/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>unix:path=$XDG_RUNTIME_DIR/bus</listen>
  <servicedir>$E2E_TMP/bus-services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
    mkfifo "$fifo"
    dbus-daemon --config-file="$E2E_TMP/bus.conf" --nofork --nopidfile --print-address=3 \
        3>"$fifo" >"$E2E_OUT/dbus.log" 2>&1 &
    E2E_PIDS+=($!)
    read -r -t "$E2E_TIMEOUT" address <"$fifo" || true
    rm -f "$fifo"
    [[ -n $address ]] || fail "the session bus did not start (see $E2E_OUT/dbus.log)"
    export DBUS_SESSION_BUS_ADDRESS=$address
}

start_stand_in()
{
    STAND_IN_LOG=$E2E_OUT/stand-in.log
    : >"$STAND_IN_LOG"
    "$PYTHON" "$HERE/stand_in_desktop.py" "$STAND_IN_LOG" "$@" >"$E2E_OUT/stand-in.out" 2>&1 &
    STAND_IN_PID=$!
    E2E_PIDS+=("$STAND_IN_PID")
    wait_for "$E2E_TIMEOUT" logged '^ready$' || fail "the stand-in desktop did not start: $(cat "$E2E_OUT/stand-in.out")"
}

# stop_stand_in: ends the stand-ins, which frees their bus names for the next ones.
stop_stand_in()
{
    kill -TERM "$STAND_IN_PID" 2>/dev/null
    wait_for 5 process_gone "$STAND_IN_PID" || kill -KILL "$STAND_IN_PID" 2>/dev/null
    wait "$STAND_IN_PID" 2>/dev/null
    return 0
}

logged()
{
    grep -Eq "$1" "$STAND_IN_LOG"
}

press()
{
    gdbus call --session --dest org.freedesktop.portal.Desktop --object-path /StandIn \
        --method org.quillory.StandIn.Press "$1" "${2:-}" >/dev/null || fail "the stand-in portal could not press $1"
}

# wait_for_socket NAME: the compositor listens on $XDG_RUNTIME_DIR/NAME.
wait_for_socket()
{
    [[ -S $XDG_RUNTIME_DIR/$1 ]]
}

start_sway()
{
    harness_require sway swaymsg
    printf 'output HEADLESS-1 resolution 1280x1024\n' >"$E2E_TMP/sway.config"
    # Headless with software rendering: no GPU, no input devices.
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$E2E_TMP/sway.config" \
        >"$E2E_OUT/sway.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for "$E2E_TIMEOUT" wait_for_socket wayland-1 || fail "sway did not start (see $E2E_OUT/sway.log)"
    export WAYLAND_DISPLAY=wayland-1
    export SWAYSOCK
    SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n1)
}

start_weston()
{
    harness_require weston
    weston --backend=headless-backend.so --socket=wayland-q --idle-time=0 >"$E2E_OUT/weston.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for "$E2E_TIMEOUT" wait_for_socket wayland-q || fail "weston did not start (see $E2E_OUT/weston.log)"
    export WAYLAND_DISPLAY=wayland-q
}

start_quillory_native()
{
    [[ -x $1 ]] || fail "no program at $1"
    env -u DISPLAY -u QT_QPA_PLATFORM XDG_SESSION_TYPE=wayland "$1" >>"$E2E_OUT/quillory.log" 2>&1 &
    QUILLORY_PID=$!
    E2E_PIDS+=("$QUILLORY_PID")
    note "quillory running as $QUILLORY_PID"
}

start_other_client()
{
    harness_require weston-clickdot
    weston-clickdot >"$E2E_OUT/other-client.log" 2>&1 &
    E2E_PIDS+=($!)
}

# sway_shows TITLE_REGEX: a window so titled is in sway's tree (mapped).
sway_shows()
{
    swaymsg -t get_tree 2>/dev/null | grep -Eq "\"name\": \"$1"
}

sway_focused_app_is_not()
{
    local focused
    focused=$(swaymsg -t get_tree 2>/dev/null | "$PYTHON" -c '
import json, sys
def walk(n):
    if n.get("focused"): print(n.get("name") or ""); return
    for c in n.get("nodes", []) + n.get("floating_nodes", []): walk(c)
walk(json.load(sys.stdin))')
    [[ -n $focused && ! $focused =~ $1 ]]
}

# pasted TYPE: the Wayland clipboard's content as TYPE.
pasted()
{
    timeout 5 wl-paste -n -t "$1" 2>/dev/null
}

pasted_is()
{
    [[ "$(pasted "$2")" == "$1" ]]
}
