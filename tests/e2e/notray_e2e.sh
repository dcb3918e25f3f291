#!/usr/bin/env bash
# Without a graphical session the program says so in one line; without a tray host it keeps
# looking for a few seconds, then says so and shows its content in an ordinary window; a
# second launch leaves it to the running one.
# Usage: notray_e2e.sh PATH_TO_SWATCHBAR
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$E2E_BIN" >"$E2E_TMP/nodisplay.txt" 2>&1 || status=$?
((status != 0)) || e2e_fail "started without a display"
(($(wc -l <"$E2E_TMP/nodisplay.txt") == 1)) || e2e_fail "expected one line: $(cat "$E2E_TMP/nodisplay.txt")"
grep -q "xvfb-run" "$E2E_TMP/nodisplay.txt" || e2e_fail "no hint how to try it: $(cat "$E2E_TMP/nodisplay.txt")"

e2e_start_x 1024x768
e2e_make_palettes 2
e2e_start_app
e2e_wait_for_line "Successfully loaded all(2) color palettes!"
e2e_wait_for_line "No system tray found: showing Swatchbar in a window instead (close it and start Swatchbar again to bring it back)" 15
window=$(e2e_find_window 400 400 5) || e2e_fail "no window without a tray"
xwininfo -id "$window" | grep -q "Override Redirect State: no" || e2e_fail "the window is a pop-up"
[[ "$(xdotool getwindowname "$window")" == "Swatchbar" ]] || e2e_fail "window title: $(xdotool getwindowname "$window")"
e2e_screenshot notray >/dev/null

status=0
"$E2E_BIN" >"$E2E_TMP/second.txt" 2>&1 || status=$?
((status == 0)) || e2e_fail "second launch ended with $status"
e2e_find_window 400 400 5 >/dev/null || e2e_fail "the window went away"
kill -0 "$E2E_APP_PID" || e2e_fail "the program ended"
e2e_pass
