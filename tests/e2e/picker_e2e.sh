#!/usr/bin/env bash
# The screen picker under a real X server: "swatchbar --pick" starts the program and its
# overlay, a click picks the root window's colour into the "Picked" palette and the clipboard;
# a second --pick reaches the running program; Escape cancels; arrows and Return pick the
# neighbouring pixel; a palette window's "Pick" button adds to that palette.
# Usage: tests/e2e/picker_e2e.sh path/to/swatchbar
source "$(dirname "$0")/lib.sh"

# The overlay: a window of the program as large as the screen.
overlay() { e2e_first_window "${1:-10}" e2e_at_least 1280 800; }
no_overlay() { [[ -z "$(e2e_first_window 0 e2e_at_least 1280 800)" ]]; }
lines() { grep -c "^$1" "$E2E_OUT" || true; }
picked_file() { cat "$E2E_PALETTES/Picked.json" 2>/dev/null; }
# e2e_wait runs its command again and again: counts must be taken inside it, not before.
lines_above() { (($(lines "$1") > $2)); }
clipboard_is() { [[ "$(e2e_clipboard)" == "$1" ]]; }

e2e_init "$1"
e2e_start_x 1280x800
e2e_start_tray
xsetroot -solid '#3A7BD5'
mkdir -p "$E2E_PALETTES"
printf '%s' '{"palName":"Marks","palColors":[{"colName":"Magenta","colColor":{"red":1,"green":0,"blue":1}}]}' \
    >"$E2E_PALETTES/Marks.json"

# No program runs yet: --pick starts it and then the picker.
e2e_start_app --pick
e2e_wait_for_line "Successfully loaded all(1) color palettes!"
overlay >/dev/null || e2e_fail "no full-screen overlay after --pick"
e2e_screenshot picker_overlay >/dev/null
e2e_click 640 400
e2e_wait_for_line "Picked col: #3A7BD5 sRGB 0.22745098039215686 0.4823529411764706 0.8352941176470589 1"
e2e_wait_for_line "Copied: 58, 123, 213"
e2e_wait 5 clipboard_is "58, 123, 213" || e2e_fail "clipboard: $(e2e_clipboard)"
expected='{"palName":"Picked","palColors":[{"colName":"#3A7BD5","colColor":{"red":0.22745098039215686,"green":0.4823529411764706,"blue":0.8352941176470589,"alpha":1}}]}'
[[ "$(picked_file)" == "$expected" ]] || e2e_fail "Picked.json holds: $(picked_file)"
e2e_wait 5 no_overlay || e2e_fail "the overlay stayed after the pick"
e2e_log "picked from --pick at launch"

# A second --pick asks the running program and ends at once.
status=0
timeout 10 "$E2E_BIN" --pick >"$E2E_TMP/second.txt" 2>&1 || status=$?
((status == 0)) || e2e_fail "second --pick ended with $status: $(cat "$E2E_TMP/second.txt")"
overlay >/dev/null || e2e_fail "no overlay after the second --pick"
xdotool mousemove 300 300
sleep 0.2
xdotool key Escape
e2e_wait_for_line "Pick cancelled"
e2e_wait 5 no_overlay || e2e_fail "the overlay stayed after Escape"
[[ "$(picked_file)" == "$expected" ]] || e2e_fail "Escape changed Picked.json: $(picked_file)"
e2e_log "Escape cancels"

# Right click cancels as well.
n=$(lines "Pick cancelled")
"$E2E_BIN" --pick
overlay >/dev/null || e2e_fail "no overlay for the right click"
e2e_click 300 300 3
e2e_wait 5 lines_above "Pick cancelled" "$n" || e2e_fail "a right click did not cancel"
e2e_wait 5 no_overlay || e2e_fail "the overlay stayed after the right click"

# Keyboard: the pointer just below the panel, Up moves onto the panel's last row; Return picks.
"$E2E_BIN" --pick
overlay >/dev/null || e2e_fail "no overlay for the keyboard pick"
xdotool mousemove 640 32
sleep 0.3
xdotool key --delay 80 Up Return
e2e_wait_for_line "Copied: 48, 48, 48"
grep -qxF "Picked col: #303030 sRGB 0.18823529411764706 0.18823529411764706 0.18823529411764706 1" \
    "$E2E_OUT" || e2e_fail "no Picked col line for the panel's colour"
[[ "$(picked_file)" == *'"colName":"#3A7BD5"'*'"colName":"#303030"'* ]] ||
    e2e_fail "second colour not appended: $(picked_file)"
e2e_log "arrows and Return pick"

# From a palette window's "Pick" button: the colour goes to that palette, here the window's
# own magenta swatch as the screen showed it.
icon=$(e2e_tray_icon) || e2e_fail "no tray icon"
e2e_click_window "$icon"
popover=$(e2e_find_window 300 300) || e2e_fail "the popover did not open"
window=$(e2e_open_palette "$popover" '#FF00FF' Marks)
read -r mx my < <(e2e_locate "$window" '#FF00FF') || e2e_fail "no magenta swatch in the window"
n=$(lines "Copied: ")
e2e_click "$mx" "$my"
e2e_wait 5 lines_above "Copied: " "$n" || e2e_fail "the swatch click copied nothing"
# The swatch has the keys now; the "Pick" button comes next.
xdotool key --delay 80 Tab space
overlay >/dev/null || e2e_fail "no overlay from the window's Pick button"
e2e_click "$mx" "$my"
e2e_wait_for_line "Picked col: #FF00FF sRGB 1 0 1 1"
e2e_wait 5 lines_above "Copied: 255, 0, 255" 1 || e2e_fail "the pick was not copied"
[[ "$(cat "$E2E_PALETTES/Marks.json")" == *'{"colName":"#FF00FF","colColor":{"red":1,"green":0,"blue":1,"alpha":1}}]}' ]] ||
    e2e_fail "Marks.json holds: $(cat "$E2E_PALETTES/Marks.json")"
[[ "$(picked_file)" != *FF00FF* ]] || e2e_fail "the window's pick went to Picked"
e2e_screenshot picker_window_after >/dev/null
e2e_log "picked from a palette window"

# At scale 2 each logical pixel covers four device pixels: the pick must be the device pixel
# under the pointer. The root shows a checkerboard of single device pixels.
kill "$E2E_APP_PID"
wait "$E2E_APP_PID" 2>/dev/null || true
convert -size 2x2 xc:'#FF0000' -fill '#00FF00' -draw 'point 1,0' -draw 'point 0,1' \
    "$E2E_TMP/checker.png"
# display ends with status 1 even when it has set the background; the pixels are checked.
display -window root "$E2E_TMP/checker.png" || true
import -window root "$E2E_TMP/root.png"
[[ "$(convert "$E2E_TMP/root.png" -format '%[pixel:p{641,401}] %[pixel:p{641,400}]' info:)" == \
    "srgb(255,0,0) srgb(0,255,0)" ]] || e2e_fail "the root shows no checkerboard"
QT_SCALE_FACTOR=2 e2e_start_app --pick
overlay >/dev/null || e2e_fail "no overlay at scale 2"
# Logical (320.5, 200) rounds to (321, 200), whose first device pixel is red.
e2e_click 641 400
e2e_wait_for_line "Picked col: #00FF00 sRGB 0 1 0 1"
QT_SCALE_FACTOR=2 "$E2E_BIN" --pick
overlay >/dev/null || e2e_fail "no second overlay at scale 2"
xdotool mousemove 641 401
sleep 0.3
# One device pixel to the right, not one logical pixel.
xdotool key --delay 80 Right Return
e2e_wait 5 lines_above "Picked col: #00FF00" 1 || e2e_fail "Right at scale 2 did not pick $(tail -n2 "$E2E_OUT")"
e2e_log "scale 2 picks the device pixel"

e2e_pass
