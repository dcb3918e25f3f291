#!/usr/bin/env bash
# Helpers for end-to-end tests: a private X server with a tray host, the program started with
# a throw-away home folder, window lookup, clicks, clipboard and screenshots.
#
# Usage in a test script:
#   source "$(dirname "$0")/lib.sh"
#   e2e_init "$1"            # $1: path of the built swatchbar binary
#   e2e_start_x              # Xvfb on a free display; exports DISPLAY
#   e2e_start_tray           # tint2 with a system tray along the top edge
#   e2e_make_palettes 3      # writes palettes into the palettes folder
#   e2e_start_app            # starts the program; output in $E2E_OUT
#   e2e_wait_for_line "Successfully loaded all(3) color palettes!"
#   ...
#   e2e_pass                 # prints PASS; cleanup runs on exit whatever happens
#
# Everything lives under $E2E_TMP, which is removed on exit (kept when E2E_KEEP=1, and
# screenshots are always copied to $E2E_ARTIFACTS when that is set). Every process started
# here is stopped on exit by its own process id.

set -euo pipefail

E2E_PIDS=()
E2E_APP_PID=""
# Several copies of the program: the current one's name, and each one's process id.
E2E_INSTANCE=""
declare -A E2E_INSTANCE_PID=()

# Prints a message on stderr and ends the test with failure.
e2e_fail() {
    # A script may add its own diagnostics (for example the logs of services it started).
    if declare -F e2e_on_fail >/dev/null; then e2e_on_fail || true; fi
    echo "FAIL: $*" >&2
    local name
    if ((${#E2E_INSTANCE_PID[@]} > 0)); then
        for name in "${!E2E_INSTANCE_PID[@]}"; do
            echo "--- program $name output ---" >&2
            cat "$E2E_TMP/$name/out.txt" >&2 || true
            echo "--- program $name errors ---" >&2
            cat "$E2E_TMP/$name/err.txt" >&2 || true
        done
    elif [[ -n "${E2E_OUT:-}" && -f "$E2E_OUT" ]]; then
        echo "--- program output ---" >&2
        cat "$E2E_OUT" >&2 || true
        echo "--- program errors ---" >&2
        cat "$E2E_ERR" >&2 || true
    fi
    exit 1
}

e2e_log() { echo "[e2e] $*" >&2; }

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${E2E_PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    if [[ -n "${E2E_ARTIFACTS:-}" && -d "${E2E_TMP:-}/shots" ]]; then
        mkdir -p "$E2E_ARTIFACTS" && cp "$E2E_TMP"/shots/*.png "$E2E_ARTIFACTS"/ 2>/dev/null || true
    fi
    if [[ "${E2E_KEEP:-0}" != 1 && -n "${E2E_TMP:-}" ]]; then
        rm -rf "$E2E_TMP"
    elif [[ -n "${E2E_TMP:-}" ]]; then
        e2e_log "kept $E2E_TMP"
    fi
}

# e2e_init BINARY: checks the tools, makes the temporary home and installs the cleanup.
e2e_init() {
    E2E_BIN="$(readlink -f "$1")"
    [[ -x "$E2E_BIN" ]] || e2e_fail "no program at $1"
    local tool
    for tool in Xvfb tint2 xdotool xwininfo import xclip openbox; do
        command -v "$tool" >/dev/null || e2e_fail "missing tool: $tool (scripts/install-deps.sh --test)"
    done
    E2E_TMP="$(mktemp -d "${TMPDIR:-/tmp}/swatchbar-e2e.XXXXXX")"
    trap e2e_cleanup EXIT
    mkdir -p "$E2E_TMP"/{home,config,data,cache,runtime,shots}
    chmod 700 "$E2E_TMP/runtime"
    export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/config" XDG_DATA_HOME="$E2E_TMP/data"
    export XDG_CACHE_HOME="$E2E_TMP/cache" XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    # No session bus: the tray is the XEmbed one of tint2, and nothing reaches the user's desktop.
    export DBUS_SESSION_BUS_ADDRESS="disabled:"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME
    export QT_QPA_PLATFORM=xcb
    E2E_PALETTES="$XDG_DATA_HOME/Swatchbar/Palettes"
    E2E_OUT="$E2E_TMP/out.txt"
    E2E_ERR="$E2E_TMP/err.txt"
}

# e2e_wait SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; fails after SECONDS.
e2e_wait() {
    local seconds=$1
    shift
    local end=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < end)) || return 1
        sleep 0.1
    done
}

# e2e_start_x [WIDTHxHEIGHT]: starts Xvfb on a free display and exports DISPLAY.
e2e_start_x() {
    local size=${1:-1280x800}
    local fifo="$E2E_TMP/displayfd"
    : >"$fifo"
    Xvfb -displayfd 9 -screen 0 "${size}x24" -nolisten tcp -noreset 9>"$fifo" \
        >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 10 test -s "$fifo" || e2e_fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$(head -n1 "$fifo" | tr -d '[:space:]')"
    e2e_wait 10 xwininfo -root || e2e_fail "display $DISPLAY does not answer"
    e2e_log "X server on $DISPLAY"
}

# e2e_start_wm: openbox as the window manager (focus, frames, allowed actions); waits until it
# has taken over the screen. Start it before the tray host.
e2e_start_wm() {
    openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 10 bash -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" ||
        e2e_fail "openbox did not start: $(cat "$E2E_TMP/openbox.log")"
    e2e_log "window manager running"
}

# e2e_active_window: the id of the window the window manager says is active, in decimal.
e2e_active_window() {
    xdotool getactivewindow 2>/dev/null || echo 0
}

# e2e_start_tray: tint2 along the top edge with a task bar and a system tray; waits until it
# owns the tray selection.
e2e_start_tray() {
    cat >"$E2E_TMP/tint2rc" <<'TINT2'
rounded = 0
border_width = 0
background_color = #303030 100
border_color = #000000 0
panel_items = TS
panel_size = 100% 32
panel_position = top center horizontal
panel_background_id = 1
panel_layer = top
wm_menu = 0
taskbar_mode = single_desktop
task_text = 1
task_icon = 1
task_maximum_size = 140 28
systray_padding = 4 2 4
systray_icon_size = 24
systray_sort = ascending
TINT2
    # There is no window manager: publish the desktop properties one would, or tint2 waits
    # about 15 s for them. The work area leaves out the panel, as a window manager would.
    local width height
    read -r width height < <(xwininfo -root | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h}')
    xprop -root -f _NET_NUMBER_OF_DESKTOPS 32c -set _NET_NUMBER_OF_DESKTOPS 1
    xprop -root -f _NET_CURRENT_DESKTOP 32c -set _NET_CURRENT_DESKTOP 0
    xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0, 32, $width, $((height - 32))"
    tint2 -c "$E2E_TMP/tint2rc" >"$E2E_TMP/tint2.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 10 xdotool search --onlyvisible --class tint2 ||
        e2e_fail "tint2 did not show its panel: $(cat "$E2E_TMP/tint2.log")"
    e2e_log "tray host running"
}

# e2e_component PALETTE COLOUR CHANNEL: the component value e2e_make_palettes writes, one of
# 0, 0.2, ... 1, so that it shows on screen as an exact 8-bit value (times 51).
e2e_component() {
    local steps=$(((($1 * 7 + $2 * 3 + $3 * 5) * ($3 + 1)) % 6))
    case $steps in 0) echo 0 ;; 5) echo 1 ;; *) echo "0.$((steps * 2))" ;; esac
}

# e2e_make_palettes COUNT [COLOURS]: writes COUNT palettes "Palette 1".. with COLOURS colours;
# colour k of palette i has the components e2e_component i k 0|1|2.
e2e_make_palettes() {
    local count=$1 colours=${2:-5} i k
    mkdir -p "$E2E_PALETTES"
    for ((i = 1; i <= count; i++)); do
        {
            printf '{"palName":"Palette %d","palColors":[' "$i"
            for ((k = 0; k < colours; k++)); do
                ((k > 0)) && printf ','
                printf '{"colName":"C%d","colColor":{"red":%s,"green":%s,"blue":%s,"alpha":1}}' \
                    "$k" "$(e2e_component "$i" "$k" 0)" "$(e2e_component "$i" "$k" 1)" \
                    "$(e2e_component "$i" "$k" 2)"
            done
            printf ']}'
        } >"$E2E_PALETTES/Palette $i.json"
    done
}

# e2e_start_app [ARGS...]: starts the program in the background; stdout in $E2E_OUT, stderr
# in $E2E_ERR, its process id in $E2E_APP_PID.
e2e_start_app() {
    "$E2E_BIN" "$@" >"$E2E_OUT" 2>"$E2E_ERR" &
    E2E_APP_PID=$!
    E2E_PIDS+=("$E2E_APP_PID")
    [[ -z "$E2E_INSTANCE" ]] || E2E_INSTANCE_PID[$E2E_INSTANCE]=$E2E_APP_PID
}

# e2e_instance NAME: makes NAME the current copy of the program, with its own HOME, XDG
# folders, runtime folder and output files under $E2E_TMP/NAME (made on first use). From then
# on e2e_start_app, e2e_wait_for_line, e2e_windows and the helpers built on them act on that
# copy only. All copies share the X server and the tray.
e2e_instance() {
    local dir="$E2E_TMP/$1"
    if [[ ! -d "$dir" ]]; then
        mkdir -p "$dir"/{home,config,data,cache,runtime}
        chmod 700 "$dir/runtime"
    fi
    export HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" XDG_DATA_HOME="$dir/data"
    export XDG_CACHE_HOME="$dir/cache" XDG_RUNTIME_DIR="$dir/runtime"
    E2E_PALETTES="$XDG_DATA_HOME/Swatchbar/Palettes"
    E2E_OUT="$dir/out.txt"
    E2E_ERR="$dir/err.txt"
    E2E_INSTANCE=$1
    E2E_APP_PID=${E2E_INSTANCE_PID[$1]:-}
}

# e2e_search [xdotool search options...]: visible windows, only the current copy's when
# e2e_instance chose one.
e2e_search() {
    if [[ -n "$E2E_INSTANCE" ]]; then
        xdotool search --all --onlyvisible --pid "${E2E_APP_PID:-0}" "$@"
    else
        xdotool search --onlyvisible "$@"
    fi
}

# e2e_wait_for_line TEXT [SECONDS]: waits until the program printed a line equal to TEXT.
e2e_wait_for_line() {
    e2e_wait "${2:-20}" grep -qxF -- "$1" "$E2E_OUT" || e2e_fail "no line \"$1\""
}

# e2e_app_exit_status [SECONDS]: waits for the program to end and prints its exit status.
e2e_app_exit_status() {
    e2e_wait "${1:-10}" bash -c "! kill -0 $E2E_APP_PID" || e2e_fail "the program did not end"
    local status=0
    wait "$E2E_APP_PID" || status=$?
    echo "$status"
}

# e2e_windows [xdotool search options...]: visible windows of the program, one id a line.
e2e_windows() {
    e2e_search --classname '^swatchbar$' "$@" 2>/dev/null || true
}

# e2e_geometry WINDOW: prints "X Y WIDTH HEIGHT" of a window in root coordinates.
e2e_geometry() {
    local info
    # Without an id xwininfo waits for a click on a window.
    [[ -n "${1:-}" ]] || return 1
    info=$(xwininfo -id "$1") || return 1
    awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
         /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}' <<<"$info"
}

# e2e_first_window SECONDS TEST [ARGS...]: waits for a visible window of the program for which
# "TEST ARGS... X Y W H" succeeds and prints its id.
e2e_first_window() {
    local end=$((SECONDS + $1)) test=$2 id x y w h
    shift 2
    while ((SECONDS < end)); do
        for id in $(e2e_windows); do
            read -r x y w h < <(e2e_geometry "$id") || continue
            if "$test" "$@" "$x" "$y" "$w" "$h"; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

e2e_at_least() { (($5 >= $1 && $6 >= $2)); }
e2e_in_tray() { (($3 <= 64 && $4 <= 64 && $2 < 40)); }

# e2e_find_window MIN_WIDTH MIN_HEIGHT [SECONDS]: waits for a visible window of the program
# at least that large and prints its id.
e2e_find_window() {
    e2e_first_window "${3:-10}" e2e_at_least "$1" "$2"
}

# e2e_tray_icon [SECONDS]: waits for the program's icon in the tray and prints its window id.
# The icon is a small window of the program embedded in the panel.
e2e_tray_icon() {
    e2e_first_window "${1:-10}" e2e_in_tray
}

# e2e_click_window WINDOW [DX DY]: left click at an offset into a window (its centre by default).
e2e_click_window() {
    local x y w h
    read -r x y w h < <(e2e_geometry "$1") || e2e_fail "no window $1"
    local dx=${2:-$((w / 2))} dy=${3:-$((h / 2))}
    e2e_click $((x + dx)) $((y + dy))
}

# e2e_click X Y [BUTTON]: clicks at a screen position.
e2e_click() {
    # Not "mousemove --sync": it waits for a motion that never comes when the pointer is
    # already there.
    xdotool mousemove "$1" "$2" sleep 0.1 click "${3:-1}"
}

# e2e_window_image WINDOW FILE: saves what the window shows on screen as a PNG.
e2e_window_image() {
    local x y w h
    read -r x y w h < <(e2e_geometry "$1") || return 1
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$2"
}

# e2e_bottom_buttons WINDOW: finds the buttons of the lowest row of controls in a window by
# looking at its pixels (anything that differs from the background near its top-left corner)
# and prints the centre of each, left to right, as "X Y" in screen coordinates.
e2e_bottom_buttons() {
    local x y w h img="$E2E_TMP/scan.png" mask="$E2E_TMP/mask.png" bg mid
    read -r x y w h < <(e2e_geometry "$1") || e2e_fail "no window $1"
    e2e_window_image "$1" "$img"
    bg=$(convert "$img" -format '%[pixel:p{4,4}]' info:)
    # White where the window differs from its background, its 2-pixel border cut off.
    convert "$img" -fill black -opaque "$bg" -fill white +opaque black -shave 2x2 "$mask"
    # The middle of the lowest band of rows with anything in them.
    mid=$(convert "$mask" -scale "1x$((h - 4))!" -depth 8 txt:- | awk -F'[,:]' '
        NR > 1 { row = $2 + 0; on[row] = ($0 !~ /#000000/) }
        END {
            for (r = row; r >= 0; r--) {
                if (on[r] && bottom == "") bottom = r
                if (!on[r] && bottom != "") { print int((r + 1 + bottom) / 2); exit }
            }
        }')
    [[ -n "$mid" ]] || return 1
    # Runs of set pixels along that row, closer than 4 pixels merged, are the buttons.
    convert "$mask" -crop "$((w - 4))x1+0+$mid" +repage -depth 8 txt:- | awk -F'[,:]' \
        -v ox=$((x + 2)) -v oy=$((y + 2 + mid)) '
        NR > 1 {
            col = $1 + 0
            if ($0 !~ /#000000/) { if (start == "") start = col; last = col }
            else if (start != "" && col - last > 3) { print ox + int((start + last) / 2), oy; start = "" }
        }
        END { if (start != "") print ox + int((start + last) / 2), oy }'
}

# e2e_has_colour WINDOW R G B: true when the window shows a pixel of exactly that colour.
e2e_has_colour() {
    local img="$E2E_TMP/colours.png" hex
    hex=$(printf '#%02X%02X%02X' "$2" "$3" "$4")
    e2e_window_image "$1" "$img" || return 1
    convert "$img" -unique-colors -depth 8 txt:- | grep -c " $hex " >/dev/null
}

# e2e_screenshot NAME: saves the whole screen as $E2E_TMP/shots/NAME.png and prints the path.
e2e_screenshot() {
    local file="$E2E_TMP/shots/$1.png"
    import -window root "$file"
    echo "$file"
}

# e2e_clipboard: prints the clipboard's text.
e2e_clipboard() {
    xclip -o -selection clipboard 2>/dev/null
}

# e2e_locate WINDOW HEX: prints the screen position "X Y" of the centre of the area of that
# colour in a window; fails when the window shows no such area.
e2e_locate() {
    local x y w h found fw fh fx fy
    read -r x y w h < <(e2e_geometry "$1") || return 1
    found=$(import -window "$1" png:- 2>/dev/null |
        convert - -fill black +opaque "$2" -fill white -opaque "$2" -trim \
            -format '%w %h %X %Y' info: 2>/dev/null) || return 1
    read -r fw fh fx fy <<<"$found"
    # An image with no such pixel trims to a single pixel.
    ((fw > 4 && fh > 4)) || return 1
    echo $((x + fx + fw / 2)) $((y + fy + fh / 2))
}

# e2e_open_palette POPOVER HEX NAME: clicks the preview showing that colour in the popover and
# prints the id of the palette window "Viewing: NAME" that opens.
e2e_open_palette() {
    local px py
    read -r px py < <(e2e_wait 5 e2e_locate "$1" "$2" && e2e_locate "$1" "$2") ||
        e2e_fail "no $2 preview in the popover"
    e2e_click "$px" "$py"
    e2e_wait 10 e2e_search --name "^Viewing: $3\$" || e2e_fail "no palette window"
    e2e_search --name "^Viewing: $3\$" | head -n1
}

# e2e_click_preferences POPOVER: clicks "Preferences" in the popover's bottom row and waits
# for its window.
e2e_click_preferences() {
    local buttons bx by
    mapfile -t buttons < <(e2e_bottom_buttons "$1")
    ((${#buttons[@]} == 3)) ||
        e2e_fail "expected 3 buttons at the bottom, found ${#buttons[@]}: ${buttons[*]}"
    read -r bx by <<<"${buttons[1]}"
    e2e_click "$bx" "$by"
    e2e_wait 5 bash -c "xdotool search --onlyvisible --name '^Preferences\$' | grep -q ." ||
        e2e_fail "\"Preferences\" did not open its window"
}

# e2e_pass: reports success.
e2e_pass() {
    echo "PASS: $(basename "$0")"
}
