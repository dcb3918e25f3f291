#!/usr/bin/env bash
# Another program changes a palette file while its window is open, and two windows of one
# palette edit it at once: no colour is lost and every edit lands on the colour it was made on.
# Usage: tests/e2e/outside_changes_e2e.sh path/to/swatchbar
source "$(dirname "$0")/lib.sh"

palette_has() { grep -qF "$1" "$E2E_PALETTES/Marks.json"; }
colour_names() {
    grep -o '"colName":"[^"]*"' "$E2E_PALETTES/Marks.json" | cut -d'"' -f4 | paste -sd' '
}

# edit_colour WINDOW HEX NEWNAME: "Edit" from the swatch's context menu, types the new name.
start_edit() {
    local x y
    # No window manager here: give the window the keyboard the way one would.
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    read -r x y < <(e2e_locate "$1" "$2") || e2e_fail "no $2 swatch in window $1"
    e2e_click "$x" "$y" 3
    sleep 0.5
    xdotool key --delay 80 Down Return
    sleep 0.5
}

e2e_init "$1"
e2e_start_x 1280x800
e2e_start_tray

mkdir -p "$E2E_PALETTES"
magenta='{"colName":"Magenta","colColor":{"red":1,"green":0,"blue":1}}'
teal='{"colName":"Teal","colColor":{"red":0,"green":0.5,"blue":0.5}}'
printf '%s' "{\"palName\":\"Marks\",\"palColors\":[$magenta,$teal]}" >"$E2E_PALETTES/Marks.json"

e2e_start_app
e2e_wait_for_line "Successfully loaded all(1) color palettes!"
icon=$(e2e_tray_icon) || e2e_fail "no tray icon"
e2e_click_window "$icon"
popover=$(e2e_find_window 300 300) || e2e_fail "the popover did not open"
first=$(e2e_open_palette "$popover" '#FF00FF' Marks)

# A text editor adds a yellow colour while the window is open.
yellow='{"colName":"Outside","colColor":{"red":1,"green":1,"blue":0}}'
printf '%s' "{\"palName\":\"Marks\",\"palColors\":[$magenta,$teal,$yellow]}" \
    >"$E2E_PALETTES/Marks.json"

# The open window shows it within a second or so, without "Reload palettes".
e2e_wait 3 e2e_locate "$first" '#FFFF00' >/dev/null || e2e_fail "the window does not show the new colour"
e2e_window_image "$first" "$E2E_TMP/shots/after_outside_change.png"
e2e_wait_for_line "Successfully loaded all(1) color palettes!"

# The user renames Magenta in the window: the outside colour survives the save.
start_edit "$first" '#FF00FF'
xdotool type --delay 30 "Pink"
xdotool key Return
e2e_wait_for_line "Changed col: Pink sRGB 1 0 1 1" 5
e2e_wait 5 palette_has '"colName":"Pink"' || e2e_fail "edit not saved: $(colour_names)"
[[ "$(colour_names)" == "Pink Teal Outside" ]] || e2e_fail "colours now: $(colour_names)"

# A second window of the same palette, moved aside so both can be clicked.
e2e_click_window "$icon"
popover=$(e2e_find_window 300 300) || e2e_fail "the popover did not reopen"
read -r px py < <(e2e_locate "$popover" '#FF00FF') || e2e_fail "no preview"
e2e_click "$px" "$py"
e2e_wait 10 test "$(xdotool search --onlyvisible --name '^Viewing: Marks$' | wc -l)" -ge 2 ||
    e2e_fail "no second window"
second=$(xdotool search --onlyvisible --name '^Viewing: Marks$' | grep -vx "$first" | head -n1)
xdotool windowmove "$second" 40 420
xdotool windowmove "$first" 640 60
sleep 0.8

e2e_screenshot two_windows >/dev/null
# Window 1 starts editing Teal; window 2 deletes Pink, before it; then window 1 says Ok.
start_edit "$first" '#008080'
read -r dx dy < <(e2e_locate "$second" '#FF00FF') || e2e_fail "no pink swatch in window 2"
xdotool windowfocus --sync "$second" 2>/dev/null || true
e2e_click "$dx" "$dy" 3
sleep 0.5
xdotool key --delay 80 Down Down Return
e2e_wait 5 bash -c "! grep -qF '\"colName\":\"Pink\"' '$E2E_PALETTES/Marks.json'" ||
    e2e_fail "delete in window 2 not saved: $(colour_names)"
xdotool windowfocus --sync "$first" 2>/dev/null || true
sleep 0.3
xdotool type --delay 30 "Sea"
xdotool key Return
e2e_wait_for_line "Changed col: Sea sRGB 0 0.5 0.5 1" 5
e2e_wait 5 palette_has '"colName":"Sea"' || e2e_fail "edit in window 1 not saved: $(colour_names)"
[[ "$(colour_names)" == "Sea Outside" ]] || e2e_fail "colours now: $(colour_names)"
grep -qF '{"colName":"Sea","colColor":{"red":0,"green":0.5,"blue":0.5,"alpha":1}}' "$E2E_PALETTES/Marks.json" ||
    e2e_fail "the wrong colour was changed: $(cat "$E2E_PALETTES/Marks.json")"

e2e_screenshot outside_changes_done >/dev/null
e2e_pass
