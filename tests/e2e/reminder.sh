#!/usr/bin/env bash
# reminder.sh QUILLORY: a reminder already due on the page shown brings the window up from the tray
# with its question at the first check, 20 seconds after the start. After No the editor shows the
# tag acknowledged, Reminder[...], and LibreOffice reads the same from the page's buffer file.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init reminder
harness_require soffice tesseract
start_x_session

data=$HOME/Documents/Quillory
project=$data/R.qlyp.dir
make_project "$project" Alpha="first page" \
    Car='{\rtf1\ansi\deff0{\fonttbl{\f0\fnil Arial;}}\f0\fs20 Car: Reminder\{20160725-1500\}[Call the garage]\par
}'
# Car shown, "Start in System Tray" on, the tray balloon already seen.
mkdir -p "$data"
printf '%s\r\n' 0 0 655 539 "$project" 185 Car 1 0 1 0 "" 0 0 1 55 >"$data/config"

start_quillory "$1"
window=$(wait_for_main_window) || fail "no main window"
wait_for "$E2E_TIMEOUT" is_unmapped "$window" || fail "the window did not start in the tray"
box=$(wait_for_window '^Confirm$' 25) || fail "no reminder question within 25 seconds"
wait_for "$E2E_TIMEOUT" is_mapped "$window" || fail "the question came without the window"
screenshot question

# X does not carry a box's text, so it is read off the screen.
import -window "$box" "$E2E_TMP/question.png" || fail "could not take a picture of the question"
convert "$E2E_TMP/question.png" -resize 300% -colorspace Gray "$E2E_TMP/question-large.png"
question=$(tesseract "$E2E_TMP/question-large.png" - 2>/dev/null)
grep -qxF Car <<<"$question" || fail "the question does not name the page on a line of its own: $question"
for part in 'You have a reminder set on page' 'Date: 25-07-2016 at 15:00' 'Label: Call the garage' \
    'Do you want to view this page?'; do
    grep -qF "$part" <<<"$question" || fail "the question lacks '$part': $question"
done

focus_window "$box"
send_keys Escape
wait_for "$E2E_TIMEOUT" visible_windows_are 0 '^Confirm$' || fail "No did not close the question"

# The page shown, copied whole with Ctrl+F4.
set_clipboard "nothing copied yet"
send_keys ctrl+F4
wait_for "$E2E_TIMEOUT" clipboard_is "Car: Reminder[20160725-1500][Call the garage]" ||
    fail "the editor shows '$(clipboard)'"
holds_for 1 visible_windows_are 0 '^Confirm$' || fail "the acknowledged tag was asked about again"
stop_quillory

cp "$data/Buffer/Car" "$E2E_TMP/car.rtf"
timeout 120 soffice "-env:UserInstallation=file://$E2E_TMP/office" --headless \
    --convert-to 'txt:Text (encoded):UTF8,LF,,,' --outdir "$E2E_TMP/out" "$E2E_TMP/car.rtf" \
    >"$E2E_OUT/soffice.log" 2>&1 || fail "LibreOffice could not read the page (see $E2E_OUT/soffice.log)"
read_back=$(sed 's/^\xEF\xBB\xBF//' "$E2E_TMP/out/car.txt")
[[ $read_back == "Car: Reminder[20160725-1500][Call the garage]" ]] || fail "LibreOffice reads '$read_back'"
echo "PASS: a due reminder asks and is acknowledged"
