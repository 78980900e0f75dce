#!/usr/bin/env bash
# print.sh QUILLORY: Quick Print on a real print system. A private CUPS scheduler (its own
# configuration, spool and socket, in a mount namespace where CUPS-PDF's settings file is replaced
# by ours) stands in for the machine's, which stays untouched. With no printer the program says so
# and shows no balloon; with CUPS-PDF as the default printer a page of three sheets becomes one job
# titled "Quillory" and a PDF of three pages; a print server that never answers holds nothing.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init print
harness_require cupsd lpadmin lpstat unshare pdfinfo
[[ -x /usr/lib/cups/backend/cups-pdf && -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ]] || {
    echo "SKIP: CUPS-PDF (printer-driver-cups-pdf) is not installed" >&2
    exit $E2E_SKIP
}
# CUPS runs CUPS-PDF as root only, and only root can give the scheduler a namespace of its own.
[[ $(id -u) == 0 ]] || {
    echo "SKIP: a private print system with CUPS-PDF needs root" >&2
    exit $E2E_SKIP
}
unshare -m true 2>/dev/null || {
    echo "SKIP: no mount namespaces here" >&2
    exit $E2E_SKIP
}
start_x_session

QUILLORY=$1
cups=$E2E_TMP/cups
mkdir -p "$cups"/{etc,spool/tmp,cache,state,log,run,pdf,pdfspool}
# The filters run as an unprivileged user and must reach the spool.
chmod 755 "$E2E_TMP" "$cups"

cat >"$cups/etc/cupsd.conf" <<CONF
Listen $cups/run/cups.sock
Browsing Off
WebInterface No
DefaultAuthType None
LogLevel info
PageLogFormat %j %P %C %{job-name}
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$cups/etc/cups-files.conf" <<CONF
ServerRoot $cups/etc
RequestRoot $cups/spool
TempDir $cups/spool/tmp
CacheDir $cups/cache
StateDir $cups/state
AccessLog $cups/log/access_log
ErrorLog $cups/log/error_log
PageLog $cups/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
CONF
cat >"$cups/cups-pdf.conf" <<CONF
Out $cups/pdf
AnonDirName $cups/pdf
Spool $cups/pdfspool
Log $cups/log
CONF

# The namespace's mounts are private, so the replaced settings file is seen by this scheduler
# (and the CUPS-PDF it starts) alone.
unshare -m sh -c 'mount --bind "$1" /etc/cups/cups-pdf.conf && exec cupsd -f -c "$2" -s "$3"' \
    sh "$cups/cups-pdf.conf" "$cups/etc/cupsd.conf" "$cups/etc/cups-files.conf" >"$E2E_OUT/cupsd.log" 2>&1 &
E2E_PIDS+=($!)
# Every CUPS client of this script, the program included, talks to the private scheduler only.
export CUPS_SERVER=$cups/run/cups.sock CUPS_SERVERROOT=$cups/etc
unset PRINTER LPDEST

scheduler_up()
{
    lpstat -r >/dev/null 2>&1
}
wait_for "$E2E_TIMEOUT" scheduler_up || fail "the private CUPS scheduler did not start: $(cat "$E2E_OUT/cupsd.log")"

# Thirty lines of 50 points are three A4 or Letter sheets, whatever the font's exact height.
project=$HOME/Print.qlyp.dir
make_project "$project" Sheets=
{
    printf '%s' '{\rtf1\ansi{\fonttbl{\f0 DejaVu Sans;}}\f0\fs100 '
    for line in $(seq 1 30); do printf 'Line %s\\par ' "$line"; done
    printf '}'
} >"$project/Sheets"
touch -d '2010-10-10 00:00' "$project/Sheets"
write_config "$project" Sheets

# quick_print: the toolbar's printer button, the sixth from the left, just under the menu bar.
quick_print()
{
    wait_until_placed "$1"
    xdotool mousemove --window "$1" 165 36 click 1
}

# The program's mapped windows: the main window and the tray icon, a box, a balloon.
program_windows()
{
    xdotool search --onlyvisible --pid "$QUILLORY_PID" 2>/dev/null | grep -c .
}
program_windows_are()
{
    [[ $(program_windows) == "$1" ]]
}

# No printer at all: the message, and no balloon after it.
start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window"
focus_window "$window"
shown=$(program_windows)
quick_print "$window"
# Other windows of the program carry the bare name too, unmapped: the message is the one shown.
wait_for "$E2E_TIMEOUT" visible_windows_are 1 '^Quillory$' || fail "no message about the missing printer"
screenshot no-printer
box=$(xdotool search --onlyvisible --name '^Quillory$' | head -n1)
focus_window "$box"
send_keys Return
wait_for "$E2E_TIMEOUT" visible_windows_are 0 '^Quillory$' || fail "the message did not close"
holds_for 1 program_windows_are "$shown" || fail "another window (a balloon?) appeared after the message"
stop_quillory

lpadmin -p QuilloryPDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd >"$E2E_OUT/lpadmin.log" 2>&1 ||
    fail "could not add the printer: $(cat "$E2E_OUT/lpadmin.log")"
lpadmin -d QuilloryPDF >>"$E2E_OUT/lpadmin.log" 2>&1 || fail "could not make the printer the default"

start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window"
focus_window "$window"
shown=$(program_windows)
quick_print "$window"
wait_for "$E2E_TIMEOUT" program_windows_are $((shown + 1)) || fail "no balloon after printing"

pdf_written()
{
    local files=("$cups"/pdf/*.pdf)
    [[ -s ${files[0]} ]] && [[ -s $cups/log/page_log ]]
}
wait_for 60 pdf_written || fail "no PDF came out: $(lpstat -W all -o 2>&1; tail -n 20 "$cups/log/error_log")"
screenshot printed

pdfs=("$cups"/pdf/*.pdf)
[[ ${#pdfs[@]} == 1 ]] || fail "${#pdfs[@]} PDFs for one print: ${pdfs[*]}"
pages=$(pdfinfo "${pdfs[0]}" | sed -n 's/^Pages: *//p')
[[ $pages == 3 ]] || fail "the PDF has $pages pages, not 3"
jobs=$(lpstat -W all -o | grep -c .)
[[ $jobs == 1 ]] || fail "$jobs print jobs, not 1"
read -r _ _ sheets title rest <"$cups/log/page_log"
[[ $title == Quillory && -z $rest && $(grep -c . "$cups/log/page_log") == 1 ]] ||
    fail "the print system logged: $(cat "$cups/log/page_log")"
[[ $sheets == 3 ]] || fail "the print system counted $sheets sheets"
quillory_running || fail "the program ended"
stop_quillory

# A print server that takes the connection and never answers: the window goes on meanwhile, and
# Ctrl+F4 from another program still copies the page.
silent=$E2E_TMP/silent.sock
python3 -c '
import socket, sys
server = socket.socket(socket.AF_UNIX)
server.bind(sys.argv[1])
server.listen(16)
held = []
while True:
    held.append(server.accept()[0])
    print("asked", flush=True)
' "$silent" >"$E2E_OUT/silent.log" 2>&1 &
E2E_PIDS+=($!)
silent_up()
{
    [[ -S $silent ]]
}
wait_for "$E2E_TIMEOUT" silent_up || fail "the silent print server did not start"
clipboard_has_page()
{
    [[ "$(clipboard)" == "Line 1"* ]]
}
CUPS_SERVER=$silent start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window"
focus_window "$window"
quick_print "$window"
start_other_window
set_clipboard "nothing copied yet"
send_keys ctrl+F4
wait_for "$E2E_TIMEOUT" clipboard_has_page || fail "the window hung on the silent print server: '$(clipboard)'"
grep -q asked "$E2E_OUT/silent.log" || fail "the silent print server was never asked"
quillory_running || fail "the program ended"
echo "PASS: no printer is reported, Quick Print makes one job of three sheets, a silent print server holds nothing"
