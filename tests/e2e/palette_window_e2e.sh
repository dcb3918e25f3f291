#!/usr/bin/env bash
# The palette window under a real X server with a tray host: open the popover from the tray
# icon, open a palette, copy swatches by mouse and keyboard, change the copy format, and read
# the clipboard as another program does.
# Usage: tests/e2e/palette_window_e2e.sh path/to/swatchbar
source "$(dirname "$0")/lib.sh"


# copy_and_check X Y TEXT: clicks at X Y, waits for the printed line and the clipboard.
copied_lines() { grep -c '^Copied: ' "$E2E_OUT" || true; }
expect_copy() {
    local text=$1 before=$2
    e2e_wait 5 test "$(copied_lines)" -gt "$before" || e2e_fail "no \"Copied: \" line for $text"
    local last
    last=$(grep '^Copied: ' "$E2E_OUT" | tail -n1)
    [[ "$last" == "Copied: $text" ]] || e2e_fail "printed \"$last\", expected \"Copied: $text\""
    e2e_wait 5 test "$(e2e_clipboard)" = "$text" ||
        e2e_fail "clipboard holds \"$(e2e_clipboard)\", expected \"$text\""
    e2e_log "copied $text"
}

e2e_init "$1"
e2e_start_x 1280x800
e2e_start_tray

mkdir -p "$E2E_PALETTES"
printf '%s' '{"palName":"Marks","palColors":[{"colName":"Magenta","colColor":{"red":1,"green":0,"blue":1}},{"colName":"Teal","colColor":{"red":0,"green":0.5,"blue":0.5,"alpha":0.5}}]}' \
    >"$E2E_PALETTES/Marks.json"

e2e_start_app
e2e_wait_for_line "Successfully loaded all(1) color palettes!"

icon=$(e2e_tray_icon) || e2e_fail "no tray icon"
e2e_click_window "$icon"
popover=$(e2e_find_window 300 300) || e2e_fail "the popover did not open"

# The palette's preview shows its magenta swatch; a click on it opens the palette window.
window=$(e2e_open_palette "$popover" '#FF00FF' Marks)
e2e_screenshot palette_window_open >/dev/null
import -window "$window" "$E2E_TMP/shots/palette_window.png"

# Mouse: the first format gives decimal components.
read -r mx my < <(e2e_locate "$window" '#FF00FF') || e2e_fail "no magenta swatch in the window"
n=$(copied_lines)
e2e_click "$mx" "$my"
expect_copy "255, 0, 255" "$n"

# Keyboard: the grid has the focus after the click; Right and Return copy the next swatch,
# drawn opaque although it is stored half transparent.
read -r tx ty < <(e2e_locate "$window" '#008080') || e2e_fail "teal swatch not drawn opaque"
n=$(copied_lines)
xdotool key --delay 50 Right Return
expect_copy "0, 127, 127" "$n"

# Back twice with Shift+Tab reaches the copy-format picker; three steps down is "#hex".
xdotool key --delay 50 shift+Tab shift+Tab Down Down Down
sleep 0.3
n=$(copied_lines)
e2e_click "$mx" "$my"
expect_copy "#FF00FF" "$n"
n=$(copied_lines)
e2e_click "$tx" "$ty"
expect_copy "#007F7F" "$n"

# One more step: "hexA" carries the stored alpha.
xdotool key --delay 50 shift+Tab shift+Tab Down
sleep 0.3
n=$(copied_lines)
e2e_click "$tx" "$ty"
expect_copy "007F7F7F" "$n"

# Exactly one kind of text on the clipboard, as other programs see it.
targets=$(xclip -o -selection clipboard -t TARGETS 2>/dev/null || true)
grep -qx 'text/plain' <<<"$targets" || e2e_fail "clipboard targets without text/plain: $targets"
if grep -qvE '^(TARGETS|MULTIPLE|TIMESTAMP|SAVE_TARGETS|text/plain.*|UTF8_STRING|STRING|TEXT|COMPOUND_TEXT)$' <<<"$targets"; then
    e2e_fail "clipboard offers more than text: $targets"
fi

# The printed lines are exactly the copies made, in order.
expected=$'Copied: 255, 0, 255\nCopied: 0, 127, 127\nCopied: #FF00FF\nCopied: #007F7F\nCopied: 007F7F7F'
[[ "$(grep '^Copied: ' "$E2E_OUT")" == "$expected" ]] ||
    e2e_fail "unexpected copy lines: $(grep '^Copied: ' "$E2E_OUT")"

# Context menu "Edit" on the magenta swatch, a new name typed, Return: the change is printed and
# written to the palette file, with the untouched colour stored back exactly.
e2e_click "$mx" "$my" 3
sleep 0.5
xdotool key --delay 80 Down Return
sleep 0.5
import -window "$window" "$E2E_TMP/shots/palette_window_editor.png"
xdotool type --delay 30 "Pink"
xdotool key Return
e2e_wait_for_line "Changed col: Pink sRGB 1 0 1 1" 5
e2e_wait 5 grep -qF '{"colName":"Pink","colColor":{"red":1,"green":0,"blue":1,"alpha":1}}' \
    "$E2E_PALETTES/Marks.json" || e2e_fail "palette file not rewritten: $(cat "$E2E_PALETTES/Marks.json")"
grep -qF '{"colName":"Teal","colColor":{"red":0,"green":0.5,"blue":0.5,"alpha":0.5}}' \
    "$E2E_PALETTES/Marks.json" || e2e_fail "the other colour changed: $(cat "$E2E_PALETTES/Marks.json")"

e2e_screenshot palette_window_done >/dev/null
e2e_pass
