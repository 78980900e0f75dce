#!/usr/bin/env bash
# dark_theme.sh QUILLORY: the desktop's dark colour scheme and a large font, as qt6ct (the Qt
# settings tool of desktops without their own) hands them to the program: Debian's "darker"
# scheme, 16-point text. Read back from a screenshot: the item list's text and the selected row's
# stand at 4.5:1 or better against their rows (black on the scheme's dark base would be 1.9:1), the
# selected row's in a red, maroon's hue; and the status bar's captions are read whole off the
# screen, not clipped.
set -uo pipefail
source "$(dirname "$0")/harness.sh"
harness_init dark_theme
harness_require python3 tesseract convert
scheme=/usr/share/qt6ct/colors/darker.conf
plugin=$(find /usr/lib -path '*qt6/plugins/platformthemes/libqt6ct.so' 2>/dev/null | head -n1)
if [[ ! -f $scheme || -z $plugin ]]; then
    echo "qt6ct not installed: skipped"
    exit "$E2E_SKIP"
fi
start_x_session
QUILLORY=$1

mkdir -p "$HOME/.config/qt6ct"
cat >"$HOME/.config/qt6ct/qt6ct.conf" <<EOF
[Appearance]
color_scheme_path=$scheme
custom_palette=true
style=Fusion

[Fonts]
general="DejaVu Sans,16,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
fixed="DejaVu Sans Mono,16,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
EOF
# The scheme's colours in the order of Qt's colour roles: Button is the second, Base the tenth.
IFS=', ' read -r -a roles < <(sed -n 's/^active_colors=//p' "$scheme")
button="#${roles[1]:3}"
base="#${roles[9]:3}"
note "the scheme's base $base, button face $button"

project=$HOME/Documents/Dark.qlyp.dir
make_project "$project" "Alpha=a" "Beta=b" "Gamma=g"
write_config "$project" Beta
printf '%s\r\n' "$project" >"$HOME/Documents/Quillory/Recent"
QT_QPA_PLATFORMTHEME=qt6ct start_quillory "$QUILLORY"
window=$(wait_for_main_window) || fail "no main window"
focus_window "$window"

MEASURES=
measured()
{
    import -window "$window" "$E2E_OUT/dark.png" 2>/dev/null || return 1
    convert "$E2E_OUT/dark.png" -depth 8 "ppm:$E2E_TMP/dark.ppm" || return 1
    MEASURES=$(python3 "$(dirname "$0")/tools/list_contrast.py" "$E2E_TMP/dark.ppm" "$base" "$button" 4 170)
    [[ -n $MEASURES ]] && ! grep -q '_lines=0$' <<<"$MEASURES"
}
wait_for "$E2E_TIMEOUT" measured || fail "no item list in the scheme's colours: $MEASURES"
while IFS='=' read -r name value; do
    printf -v "M_$name" '%s' "$value"
done <<<"$MEASURES"
note "$(tr '\n' ' ' <<<"$MEASURES")"
awk -v u="$M_unselected_contrast" -v s="$M_selected_contrast" 'BEGIN { exit !(u >= 4.5 && s >= 4.5) }' ||
    fail "the lists' text reads at $M_unselected_contrast:1, the selected row's at $M_selected_contrast:1"
red=$((16#${M_selected_pen:1:2}))
green=$((16#${M_selected_pen:3:2}))
blue=$((16#${M_selected_pen:5:2}))
((red > green + 40 && red > blue + 40)) || fail "the selected row's text is $M_selected_pen, not a red"

# The status bar's captions, read off the screen: light on dark, so inverted for the reader.
height=$(identify -format '%h' "$E2E_OUT/dark.png")
convert "$E2E_OUT/dark.png" -gravity south -crop "x60+0+0" +repage -negate -resize 300% "$E2E_TMP/status.png"
status=$(tesseract "$E2E_TMP/status.png" - 2>/dev/null | tr -s ' \n' ' ')
note "status bar of a ${height}-pixel window reads: $status"
[[ $status == *"Cursor Position:"* && $status == *"Line Count:"* ]] || fail "the status bar's captions are clipped: $status"
quillory_running || fail "the program ended"
echo "PASS: dark_theme"
