#!/usr/bin/env bash
# The screen picker over two monitors of different sizes side by side (RandR monitors on one
# Xvfb screen): one overlay per monitor, each picking its own pixels, the loupe on the monitor
# under the pointer.
# Usage: tests/e2e/picker_monitors_e2e.sh path/to/swatchbar
source "$(dirname "$0")/lib.sh"

# Counted inside e2e_wait, each time it tries.
two_overlays() { (($(e2e_windows | wc -l) >= 2)); }

e2e_init "$1"
e2e_start_x 1440x600
xrandr --setmonitor LEFT 800/211x600/159+0+0 screen >/dev/null
xrandr --setmonitor RIGHT 640/169x480/127+800+0 none >/dev/null
[[ $(xrandr --listmonitors | head -n1) == "Monitors: 2" ]] ||
    e2e_fail "monitors not set up: $(xrandr --listmonitors)"
# Blue on the left monitor, orange on the right one.
convert -size 800x600 xc:'#3A7BD5' -size 640x600 xc:'#FF7F00' +append "$E2E_TMP/halves.png"
display -window root "$E2E_TMP/halves.png" || true

e2e_start_app --pick
e2e_wait_for_line "Successfully loaded all(0) color palettes!"
e2e_wait 10 two_overlays || e2e_fail "no overlay on each monitor"
overlays=$(for id in $(e2e_windows); do e2e_geometry "$id"; done | sort)
[[ "$overlays" == *"0 0 800 600"* && "$overlays" == *"800 0 640 480"* ]] ||
    e2e_fail "overlays do not match the monitors: $overlays"
xdotool mousemove 1000 200
sleep 0.3
# The loupe shows on the right monitor, with the hex text of the pixel under the pointer.
import -window root "$E2E_TMP/shots/monitors.png"
label=$(convert "$E2E_TMP/shots/monitors.png" -format '%[pixel:p{1030,370}]' info:)
[[ "$label" == "srgb(32,32,32)" ]] || e2e_fail "no loupe label right of the pointer: $label"
e2e_click 1000 200
e2e_wait_for_line "Picked col: #FF7F00 sRGB 1 0.4980392156862745 0 1"

"$E2E_BIN" --pick
e2e_wait 10 two_overlays || e2e_fail "no overlays for the second pick"
e2e_click 100 100
e2e_wait_for_line "Picked col: #3A7BD5 sRGB 0.22745098039215686 0.4823529411764706 0.8352941176470589 1"
e2e_pass
