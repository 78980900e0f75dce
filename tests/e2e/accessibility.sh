#!/usr/bin/env bash
# accessibility.sh QUILLORY: the main window as a screen reader meets it, read over the desktop's
# own accessibility bus (at-spi2-core's bus launcher and registry on a private session bus):
# every button named by its hint, the lists, the page, the boxes and each colour named, the
# status bar's numbers labelled by their captions, the menus there (tools/atspi_check.py).
set -uo pipefail
HERE=$(dirname "$0")
source "$HERE/harness.sh"
source "$HERE/desktops.sh"
harness_init accessibility
[[ -x /usr/libexec/at-spi-bus-launcher ]] && "$PYTHON" -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null || {
    echo "at-spi2-core or its Python binding is not installed: skipped"
    exit "$E2E_SKIP"
}
start_x_session
start_session_bus
bus_service org.a11y.Bus /usr/libexec/at-spi-bus-launcher
QUILLORY=$1

project=$HOME/Documents/Read.qlyp.dir
make_project "$project" "Alpha=a" "Beta=b" "Gamma=g"
write_config "$project" Beta
# Qt offers its tree when the desktop says a reader runs; this says so for the program alone.
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 start_quillory "$QUILLORY"
wait_for_main_window >/dev/null || fail "no main window"
"$PYTHON" "$HERE/tools/atspi_check.py" "$E2E_TIMEOUT" >"$E2E_OUT/tree.txt" 2>&1 ||
    fail "$(grep -E '^(FAULT|no Quillory)' "$E2E_OUT/tree.txt" || tail -n 20 "$E2E_OUT/tree.txt")"
quillory_running || fail "the program ended"
echo "PASS: accessibility"
