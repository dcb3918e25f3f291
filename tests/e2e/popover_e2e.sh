#!/usr/bin/env bash
# The program in a real X session with a tray: its icon appears in the tray, a click opens the
# popover with the palettes under the icon, a second click closes it, a second launch opens it
# in the running program and ends, "Preferences" opens its window and "Quit" ends with status 0.
# Usage: popover_e2e.sh PATH_TO_SWATCHBAR
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_x 1280x800
e2e_start_tray
e2e_make_palettes 3
e2e_start_app
e2e_wait_for_line "Successfully loaded all(3) color palettes!"

icon=$(e2e_tray_icon) || e2e_fail "no icon in the tray"
read -r ix iy iw ih < <(e2e_geometry "$icon")
((iy >= 0 && iy + ih <= 32)) || e2e_fail "icon not in the panel: $ix $iy $iw $ih"
e2e_log "tray icon at $ix,$iy ${iw}x$ih"

# First click: the popover opens below the icon, wholly on screen, at least 400 x 400.
e2e_click_window "$icon"
popover=$(e2e_find_window 400 400) || e2e_fail "no popover after a click on the icon"
read -r px py pw ph < <(e2e_geometry "$popover")
e2e_log "popover at $px,$py ${pw}x$ph"
((py >= 32)) || e2e_fail "popover covers the panel (top $py)"
((px >= 0 && px + pw <= 1280 && py + ph <= 800)) || e2e_fail "popover off screen: $px $py $pw $ph"
((px <= ix + iw && px + pw >= ix)) || e2e_fail "popover not under the icon"

# Every palette's first colour is drawn in its preview.
sleep 0.3
for i in 1 2 3; do
    rgb=()
    for c in 0 1 2; do
        v=$(e2e_component "$i" 0 "$c")
        rgb+=("$(awk -v v="$v" 'BEGIN { printf "%d", v * 255 + 0.5 }')")
    done
    e2e_has_colour "$popover" "${rgb[@]}" || e2e_fail "palette $i (rgb ${rgb[*]}) not shown"
done
e2e_screenshot popover-open >/dev/null

# Second click on the icon closes it; a third opens it again.
e2e_click_window "$icon"
e2e_wait 5 bash -c "! xwininfo -id $popover | grep -q IsViewable" || e2e_fail "second click did not close the popover"
sleep 0.5 # a person's pace: a click right after the closing one counts as the same click
e2e_click_window "$icon"
popover=$(e2e_find_window 400 400) || e2e_fail "third click did not open the popover"

# A click elsewhere closes it.
e2e_click 300 600
e2e_wait 5 bash -c "! xwininfo -id $popover | grep -q IsViewable" || e2e_fail "a click outside did not close the popover"

# A second launch opens the running program's popover and ends at once with status 0.
status=0
"$E2E_BIN" >"$E2E_TMP/second.txt" 2>&1 || status=$?
((status == 0)) || e2e_fail "second launch ended with $status: $(cat "$E2E_TMP/second.txt")"
popover=$(e2e_find_window 400 400) || e2e_fail "second launch did not open the popover"
kill -0 "$E2E_APP_PID" || e2e_fail "the first program ended"

# "Preferences", the middle button of the bottom row, opens its window.
e2e_click_preferences "$popover"
e2e_screenshot preferences >/dev/null

icon=$(e2e_tray_icon) || e2e_fail "icon gone"
e2e_click_window "$icon"
popover=$(e2e_find_window 400 400) || e2e_fail "popover did not open again"
mapfile -t buttons < <(e2e_bottom_buttons "$popover")
read -r bx by <<<"${buttons[2]}"
e2e_click "$bx" "$by"
status=$(e2e_app_exit_status 10)
((status == 0)) || e2e_fail "\"Quit\" ended the program with status $status"
e2e_pass
