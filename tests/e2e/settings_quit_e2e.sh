#!/usr/bin/env bash
# Moving a palette window rewrites the settings file at most about once a second, and the last
# frame is on disk when the program is ended politely (SIGTERM), even straight after a move;
# the next start puts the window back there.
# Usage: settings_quit_e2e.sh PATH_TO_SWATCHBAR
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_x 1280x800
e2e_start_wm
e2e_start_tray

mkdir -p "$E2E_PALETTES"
printf '%s' '{"palName":"Marks","palColors":[{"colName":"Magenta","colColor":{"red":1,"green":0,"blue":1}}]}' \
    >"$E2E_PALETTES/Marks.json"
conf="$XDG_CONFIG_HOME/Swatchbar/Swatchbar.conf"

e2e_start_app
e2e_wait_for_line "Successfully loaded all(1) color palettes!"
icon=$(e2e_tray_icon) || e2e_fail "no tray icon"
e2e_click_window "$icon"
popover=$(e2e_find_window 300 300) || e2e_fail "the popover did not open"
window=$(e2e_open_palette "$popover" '#FF00FF' Marks)
e2e_wait 5 test -s "$conf" || e2e_fail "no settings file"

# A drag: 40 moves, a few seconds on a busy machine. Each write of the file is a new inode;
# at most one a second (and one at the end of the second the drag started in).
inodes=()
start=$(date +%s%N)
for ((i = 1; i <= 40; i++)); do
    xdotool windowmove "$window" $((200 + 5 * i)) $((150 + 3 * i))
    inodes+=("$(stat -c %i "$conf")")
    sleep 0.05
done
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
rewrites=$(($(printf '%s\n' "${inodes[@]}" | uniq | wc -l) - 1))
((rewrites <= elapsed_ms / 1000 + 1)) ||
    e2e_fail "the settings file was rewritten $rewrites times during 40 moves in $elapsed_ms ms"
read -r x y _ _ < <(e2e_geometry "$window")
e2e_log "window at $x,$y after the moves; $rewrites rewrites in $elapsed_ms ms"

# Ended at once after a last move: the frame is written on the way out.
xdotool windowmove "$window" 420 260
e2e_wait 5 bash -c "read -r x y _ < <(xwininfo -id $window | awk '/Absolute upper-left X/ {x=\$NF} /Absolute upper-left Y/ {y=\$NF} END {print x, y}'); [[ \$x != $x || \$y != $y ]]" ||
    e2e_fail "the window did not move"
read -r x y _ _ < <(e2e_geometry "$window")
kill -TERM "$E2E_APP_PID"
e2e_wait 10 bash -c "! kill -0 $E2E_APP_PID" || e2e_fail "the program did not end on SIGTERM"
status=0
wait "$E2E_APP_PID" || status=$?
[[ "$status" == 0 ]] || e2e_fail "ended with status $status after SIGTERM"
grep -q '^\[windowFrames\]' "$conf" || e2e_fail "no window frame in the settings file: $(cat "$conf")"

# The next start opens the window where it was left.
e2e_start_app
e2e_wait_for_line "Successfully loaded all(1) color palettes!"
icon=$(e2e_tray_icon) || e2e_fail "no tray icon after the restart"
e2e_click_window "$icon"
popover=$(e2e_find_window 300 300) || e2e_fail "the popover did not open after the restart"
window=$(e2e_open_palette "$popover" '#FF00FF' Marks)
sleep 0.5
read -r x2 y2 _ _ < <(e2e_geometry "$window")
[[ "$x2 $y2" == "$x $y" ]] || e2e_fail "the window came back at $x2,$y2, not at $x,$y"
e2e_pass
