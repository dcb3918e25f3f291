#!/usr/bin/env bash
# A swatch dragged out of the palette window lands in another program as its text in the
# palette's copy format and as application/x-color; the drag copies nothing.
# Usage: dragout_e2e.sh PATH_TO_SWATCHBAR (E2E_DROP_TARGET: the drop-target helper)
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
[[ -x "${E2E_DROP_TARGET:-}" ]] || e2e_fail "no drop target helper (E2E_DROP_TARGET)"
e2e_start_x 1280x800
e2e_start_tray

mkdir -p "$E2E_PALETTES"
printf '%s' '{"palName":"Marks","palColors":[{"colName":"Magenta","colColor":{"red":1,"green":0,"blue":1}},{"colName":"Teal","colColor":{"red":0,"green":0.5,"blue":0.5,"alpha":0.5}}]}' \
    >"$E2E_PALETTES/Marks.json"
# The palette copies as "#hexA" (index 5).
mkdir -p "$XDG_CONFIG_HOME/Swatchbar"
printf '[General]\nMarks.colFormatIdx=5\n' >"$XDG_CONFIG_HOME/Swatchbar/Swatchbar.conf"

e2e_start_app
e2e_wait_for_line "Successfully loaded all(1) color palettes!"
icon=$(e2e_tray_icon) || e2e_fail "no tray icon"
e2e_click_window "$icon"
popover=$(e2e_find_window 300 300) || e2e_fail "the popover did not open"
window=$(e2e_open_palette "$popover" '#FF00FF' Marks)

"$E2E_DROP_TARGET" >"$E2E_TMP/drop.txt" 2>"$E2E_TMP/drop.err" &
target_pid=$!
E2E_PIDS+=("$target_pid")
e2e_wait 10 xdotool search --onlyvisible --name '^Drop target$' >/dev/null || e2e_fail "no drop target"
sleep 0.3

read -r tx ty < <(e2e_locate "$window" '#008080') || e2e_fail "no teal swatch"
xdotool mousemove "$tx" "$ty" mousedown 1
# Small steps, as a hand moves: the drag starts after the drag distance, then crosses over.
for ((i = 1; i <= 20; i++)); do
    xdotool mousemove "$((tx + (950 - tx) * i / 20))" "$((ty + (450 - ty) * i / 20))"
    sleep 0.05
done
sleep 0.3
xdotool mousemove 951 451
sleep 0.3
xdotool mouseup 1
e2e_wait 10 grep -q '^text: ' "$E2E_TMP/drop.txt" || e2e_fail "nothing dropped: $(cat "$E2E_TMP/drop.txt" "$E2E_TMP/drop.err")"
e2e_screenshot dragout >/dev/null
grep -qxF "text: #007F7F7F" "$E2E_TMP/drop.txt" || e2e_fail "dropped text: $(cat "$E2E_TMP/drop.txt")"
grep -q 'application/x-color' "$E2E_TMP/drop.txt" || e2e_fail "no application/x-color: $(cat "$E2E_TMP/drop.txt")"
grep -qxF 'color: #80008080' "$E2E_TMP/drop.txt" || e2e_fail "dropped colour: $(cat "$E2E_TMP/drop.txt")"
# A drag does not copy.
! grep -q '^Copied: ' "$E2E_OUT" || e2e_fail "the drag copied: $(grep '^Copied: ' "$E2E_OUT")"
[[ -z "$(e2e_clipboard)" ]] || e2e_fail "the clipboard holds \"$(e2e_clipboard)\""
e2e_pass
