#!/usr/bin/env bash
# Under a window manager (openbox) and a tray host: a copy leaves the user's active window
# alone and the primary selection as it was; a field in the palette window takes the keys; the
# window follows its content as the column count steps up and down; the popover keeps its
# edge while the options change; finding by typing in the popover and in the palette window;
# the preferences window can be neither minimised nor maximised and is in the taskbar at once.
# Usage: tests/e2e/fit_and_finish_e2e.sh path/to/swatchbar
source "$(dirname "$0")/lib.sh"

copied_lines() { grep -c '^Copied: ' "$E2E_OUT" || true; }
expect_copy() {
    local text=$1 before=$2 last
    e2e_wait 5 test "$(copied_lines)" -gt "$before" || e2e_fail "no \"Copied: \" line for $text"
    last=$(grep '^Copied: ' "$E2E_OUT" | tail -n1)
    [[ "$last" == "Copied: $text" ]] || e2e_fail "printed \"$last\", expected \"Copied: $text\""
    e2e_wait 5 test "$(e2e_clipboard)" = "$text" ||
        e2e_fail "clipboard holds \"$(e2e_clipboard)\", expected \"$text\""
}
width_of() { e2e_geometry "$1" | awk '{print $3}'; }

e2e_init "$1"
e2e_start_x 1280x800
e2e_start_wm
e2e_start_tray

mkdir -p "$E2E_PALETTES" "$XDG_CONFIG_HOME/Swatchbar"
printf '%s' '{"palName":"Marks","palColors":[{"colName":"Magenta","colColor":{"red":1,"green":0,"blue":1}},{"colName":"Teal","colColor":{"red":0,"green":0.5,"blue":0.5}},{"colName":"Orange","colColor":{"red":1,"green":0.5,"blue":0}}]}' \
    >"$E2E_PALETTES/Marks.json"
e2e_make_palettes 4 3
# Six columns of 100-point cells: the grid, not the options panel, sets the window's width.
cat >"$XDG_CONFIG_HOME/Swatchbar/Swatchbar.conf" <<'CONF'
[General]
hideDockIcon=true
view.grid.colCount=6
view.grid.cell.size=100
view.grid.cell.spacinyg=10
CONF

# The user's own application, active before any copy.
xmessage -geometry 300x80+40+600 "the user's application" &
E2E_PIDS+=($!)
e2e_wait 10 xdotool search --onlyvisible --name '^xmessage$' || e2e_fail "no xmessage window"
user=$(xdotool search --onlyvisible --name '^xmessage$' | head -n1)

e2e_start_app
e2e_wait_for_line "Successfully loaded all(5) color palettes!"
icon=$(e2e_tray_icon) || e2e_fail "no tray icon"

# --- Popover: keeps the edge nearest the tray icon while the options change.
e2e_click_window "$icon"
popover=$(e2e_find_window 300 300) || e2e_fail "the popover did not open"
read -r ix iy iw ih < <(e2e_geometry "$icon")
read -r px py pw ph < <(e2e_geometry "$popover")
e2e_screenshot popover_open >/dev/null
mapfile -t buttons < <(e2e_bottom_buttons "$popover")
((${#buttons[@]} == 3)) || e2e_fail "expected 3 buttons, found ${#buttons[@]}"
read -r bx by <<<"${buttons[0]}"
e2e_click "$bx" "$by" # "Show options"
e2e_wait 5 bash -c "[[ \"\$(e2e_geometry $popover | awk '{print \$4}')\" != $ph ]]" 2>/dev/null ||
    sleep 1
read -r qx qy qw qh < <(e2e_geometry "$popover")
e2e_screenshot popover_options >/dev/null
((qh > ph)) || e2e_fail "the options did not show (height $ph -> $qh)"
if ((ix + iw / 2 - px <= px + pw - ix - iw / 2)); then
    ((qx == px)) || e2e_fail "the popover's left edge moved from $px to $qx"
else
    ((qx + qw == px + pw)) || e2e_fail "the popover's right edge moved from $((px + pw)) to $((qx + qw))"
fi
# Every button is still on screen and the bottom row still holds three.
mapfile -t buttons < <(e2e_bottom_buttons "$popover")
((${#buttons[@]} == 3)) || e2e_fail "after the options: ${#buttons[@]} buttons at the bottom"
read -r bx by <<<"${buttons[0]}"
e2e_click "$bx" "$by" # "Hide options"
sleep 0.5

# --- Popover: typing goes to the filter; Return opens the one match.
xdotool type --delay 60 "marks"
sleep 0.5
e2e_screenshot popover_filtered >/dev/null
xdotool key Return
e2e_wait 10 xdotool search --onlyvisible --name '^Viewing: Marks$' || e2e_fail "Return did not open Marks"
window=$(xdotool search --onlyvisible --name '^Viewing: Marks$' | head -n1)
e2e_wait 5 test "$(e2e_active_window)" = "$window" || e2e_fail "the window opened from the popover is not active"

# --- Focus: the user's application is active; a copy leaves it so, and the primary selection too.
e2e_click_window "$user"
e2e_wait 5 test "$(e2e_active_window)" = "$user" || e2e_fail "the user's window did not become active"
printf 'kept selection' | xclip -selection primary
read -r mx my < <(e2e_locate "$window" '#FF00FF') || e2e_fail "no magenta swatch"
n=$(copied_lines)
e2e_click "$mx" "$my"
expect_copy "255, 0, 255" "$n"
sleep 0.3
[[ "$(e2e_active_window)" == "$user" ]] ||
    e2e_fail "a swatch click made window $(e2e_active_window) active, not the user's $user"
[[ "$(xclip -o -selection primary 2>/dev/null)" == "kept selection" ]] ||
    e2e_fail "the copy replaced the primary selection"
e2e_screenshot copy_without_focus >/dev/null

# --- The filter field takes the keys when clicked; Return copies the first match.
read -r wx wy ww wh < <(e2e_geometry "$window")
e2e_click $((wx + ww / 2)) $((wy + 28))
e2e_wait 5 test "$(e2e_active_window)" = "$window" || e2e_fail "a click on the filter did not activate the window"
xdotool type --delay 60 "ff7f"
sleep 0.3
e2e_screenshot palette_filtered >/dev/null
n=$(copied_lines)
xdotool key Return
expect_copy "255, 127, 0" "$n"
xdotool key Escape

# --- Sizing: the window follows the column count at once, both ways.
# Filter -> copy format -> options toggle (Space shows the options) -> grid -> size ->
# spacing -> column count.
xdotool key --delay 80 Tab Tab space
sleep 0.5
xdotool key --delay 80 Tab Tab Tab Tab
sleep 0.3
widths=()
widths+=("$(width_of "$window")")
for key in Up Up Down Down; do
    xdotool key "$key"
    sleep 0.6
    widths+=("$(width_of "$window")")
done
e2e_screenshot palette_sized >/dev/null
e2e_log "widths at 6 7 8 7 6 columns: ${widths[*]}"
((widths[1] > widths[0] && widths[2] > widths[1])) || e2e_fail "growing: widths ${widths[*]}"
((widths[3] == widths[1] && widths[4] == widths[0])) || e2e_fail "shrinking: widths ${widths[*]}"
((widths[2] - widths[1] == widths[1] - widths[0])) || e2e_fail "uneven steps: widths ${widths[*]}"
read -r wx wy ww wh < <(e2e_geometry "$window")
((wx >= 0 && wx + ww <= 1280 && wy + wh <= 800)) || e2e_fail "the window left the screen: $wx $wy $ww $wh"

# --- Preferences: mapped in the taskbar at once; neither minimised nor maximised.
e2e_click_window "$icon"
popover=$(e2e_find_window 300 300) || e2e_fail "the popover did not open again"
e2e_click_preferences "$popover"
prefs=$(xdotool search --onlyvisible --name '^Preferences$' | head -n1)
state=$(xprop -id "$prefs" _NET_WM_STATE)
[[ "$state" != *SKIP_TASKBAR* ]] || e2e_fail "the preferences window is mapped without a taskbar entry: $state"
actions=$(xprop -id "$prefs" _NET_WM_ALLOWED_ACTIONS)
e2e_log "preferences allowed actions: $actions"
# openbox offers to minimise any window it manages whatever the hints say; the window puts
# itself back (checked below).
for action in MAXIMIZE_HORZ MAXIMIZE_VERT RESIZE; do
    [[ "$actions" != *"_NET_WM_ACTION_$action"* ]] || e2e_fail "the preferences window allows $action"
done
xdotool windowminimize "$prefs" || true
sleep 0.8
e2e_wait 3 bash -c "xwininfo -id $prefs | grep -q IsViewable" || e2e_fail "the preferences window stayed minimised"
e2e_screenshot preferences >/dev/null

e2e_pass
