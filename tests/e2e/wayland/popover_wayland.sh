#!/usr/bin/env bash
# The popover under Wayland: headless sway with waybar's tray as the StatusNotifier host on a
# private session bus, clicks through a virtual pointer, screenshots with grim and the
# clipboard read with wl-paste. Checks that a tray click opens a small popover of its own size
# at the tray's end of the panel (not a workspace-size tile), that a second click, Escape and a
# click elsewhere close it, and that a swatch click copies.
# sway refuses to run as root: as root, the whole session runs as "nobody".
# Usage: popover_wayland.sh PATH_TO_SWATCHBAR PATH_TO_VIRTUAL_INPUT
set -euo pipefail

BIN=$(readlink -f "$1")
VINPUT=$(readlink -f "$2")
WIDTH=1280 HEIGHT=800 BAR=30
DEADLINE=$((SECONDS + 80))
PIDS=()

log() { echo "[wayland] $*" >&2; }
fail() {
    echo "FAIL: $*" >&2
    for f in out err sway waybar; do
        [[ -s "$TMP/$f.txt" ]] && { echo "--- $f ---" >&2; tail -n 30 "$TMP/$f.txt" >&2; }
    done
    exit 1
}
for tool in sway swaymsg waybar grim wl-paste dbus-daemon dbus-send convert python3; do
    command -v "$tool" >/dev/null || fail "missing tool: $tool (scripts/install-deps.sh --test)"
done

TMP=$(mktemp -d "${TMPDIR:-/tmp}/swatchbar-wayland.XXXXXX")
cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    if [[ -n "${E2E_ARTIFACTS:-}" ]]; then
        mkdir -p "$E2E_ARTIFACTS" && cp "$TMP"/shots/*.png "$E2E_ARTIFACTS"/ 2>/dev/null || true
    fi
    [[ "${E2E_KEEP:-0}" == 1 ]] && log "kept $TMP" || rm -rf "$TMP"
}
trap cleanup EXIT
mkdir -p "$TMP"/{home,config,data,cache,run,shots} "$TMP/data/Swatchbar/Palettes"
chmod 700 "$TMP/run"
# One palette whose colour shows on screen as #FF8000 and copies as "255, 127, 0".
printf '%s' '{"palName":"Probe","palColors":[{"colName":"Orange","colColor":{"red":1,"green":0.5,"blue":0}}]}' \
    >"$TMP/data/Swatchbar/Palettes/Probe.json"

as_user=()
if [[ $(id -u) -eq 0 ]]; then
    chown -R nobody:nogroup "$TMP"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
chmod 755 "$TMP"
ENVV=(PATH=/usr/bin:/bin HOME="$TMP/home" XDG_RUNTIME_DIR="$TMP/run" XDG_CONFIG_HOME="$TMP/config"
      XDG_DATA_HOME="$TMP/data" XDG_CACHE_HOME="$TMP/cache" LANG=C.UTF-8 NO_AT_BRIDGE=1)
for v in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do
    [[ -n "${!v:-}" ]] && ENVV+=("$v=${!v}")
done
run() { "${as_user[@]}" env -i "${ENVV[@]}" "$@"; }
# start NAME COMMAND...: runs a process of the session in the background, output in NAME.txt.
start() {
    local name=$1
    shift
    # Not through run(): $! must be the process itself, which setpriv and env become.
    "${as_user[@]}" env -i "${ENVV[@]}" "$@" >"$TMP/$name.txt" 2>&1 &
    PIDS+=($!)
}
wait_for() { # SECONDS COMMAND...
    local end=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < end && SECONDS < DEADLINE)) || return 1
        sleep 0.1
    done
}

cat >"$TMP/sway.conf" <<CONF
output * mode ${WIDTH}x${HEIGHT} position 0 0
focus_follows_mouse no
CONF
start sway env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$TMP/sway.conf"
wait_for 15 compgen -G "$TMP/run/sway-ipc.*.sock" || fail "sway did not start"
wait_for 5 compgen -G "$TMP/run/wayland-*.lock" || fail "sway has no Wayland socket"
SWAYSOCK=$(compgen -G "$TMP/run/sway-ipc.*.sock" | head -n1)
WAYLAND_DISPLAY=$(basename "$(compgen -G "$TMP/run/wayland-*.lock" | head -n1)" .lock)
ENVV+=(SWAYSOCK="$SWAYSOCK" WAYLAND_DISPLAY="$WAYLAND_DISPLAY")
msg() { run swaymsg "$@"; }
wait_for 5 msg -t get_outputs || fail "sway does not answer"

# A bus of our own that starts no services: nothing outlives the test.
cat >"$TMP/bus.conf" <<CONF
<busconfig>
  <type>session</type>
  <listen>unix:path=$TMP/run/bus</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
start bus dbus-daemon --config-file="$TMP/bus.conf" --nofork --nopidfile
ENVV+=(DBUS_SESSION_BUS_ADDRESS="unix:path=$TMP/run/bus")
wait_for 5 test -S "$TMP/run/bus" || fail "dbus-daemon did not start"

start vinput "$VINPUT"
VINPUT_PID=${PIDS[-1]}
wait_for 5 grep -qx ready "$TMP/vinput.txt" || fail "no virtual pointer: $(cat "$TMP/vinput.txt")"

cat >"$TMP/waybar.json" <<JSON
{ "layer": "top", "position": "top", "height": $BAR, "modules-right": ["tray"],
  "tray": { "icon-size": 24, "spacing": 4 } }
JSON
cat >"$TMP/waybar.css" <<'CSS'
* { border: none; border-radius: 0; min-height: 0; }
window#waybar { background: #303030; }
CSS
start waybar waybar -c "$TMP/waybar.json" -s "$TMP/waybar.css"

# Qt asks once whether a StatusNotifier host is there, so the tray comes first.
host_up() {
    run dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:IsStatusNotifierHostRegistered 2>/dev/null | grep -q 'boolean true'
}
wait_for 15 host_up || fail "waybar's tray did not register as StatusNotifier host"

start out env QT_QPA_PLATFORM=wayland "$BIN"
APP_PID=${PIDS[-1]}
wait_for 20 grep -qxF "Successfully loaded all(1) color palettes!" "$TMP/out.txt" ||
    fail "the program did not load its palettes"

shot() { # NAME [GEOMETRY]: a screenshot, printed path
    local file="$TMP/shots/$1.png"
    if [[ -n "${2:-}" ]]; then run grim -g "$2" "$file"; else run grim "$file"; fi
    echo "$file"
}
click() { # X Y
    msg seat - cursor set "$1" "$2" >/dev/null
    sleep 0.2
    msg seat - cursor press button1 >/dev/null
    sleep 0.05
    msg seat - cursor release button1 >/dev/null
}
# windows: "TITLE<TAB>X Y W H<TAB>floating" for every window of the program that is mapped.
windows() {
    msg -t get_tree | python3 -c '
import json, sys
pid = int(sys.argv[1])
def walk(node, floating=False):
    if node.get("pid") == pid and node.get("visible", True):
        r = node["rect"]
        print("%s\t%d %d %d %d\t%s" % (node.get("name") or "", r["x"], r["y"], r["width"], r["height"],
                                        "floating" if floating else "tiled"))
    for child in node.get("nodes", []):
        walk(child, floating)
    for child in node.get("floating_nodes", []):
        walk(child, True)
walk(json.load(sys.stdin))' "$APP_PID"
}
window() { windows | awk -F'\t' -v t="$1" '$1 == t' | head -n1; }
has_window() { [[ -n "$(window "$1")" ]]; }
no_window() { [[ -z "$(window "$1")" ]]; }
# locate IMAGE OFFSET_X OFFSET_Y HEX: centre of the area of that colour (within 3%).
locate() {
    local found fw fh fx fy
    found=$(convert "$1" -fuzz 3% -fill black +opaque "$4" -fill white -opaque "$4" -trim \
        -format '%w %h %X %Y' info: 2>/dev/null) || return 1
    read -r fw fh fx fy <<<"$found"
    ((fw > 4 && fh > 4)) || return 1
    echo $(($2 + fx + fw / 2)) $(($3 + fy + fh / 2))
}

# The icon: whatever is not the bar's background in the bar.
tray_icon() {
    local img found fw fh fx fy
    img=$(shot bar "0,0 ${WIDTH}x$BAR")
    found=$(convert "$img" -fuzz 2% -fill black -opaque '#303030' -fill white +opaque black -trim \
        -format '%w %h %X %Y' info:) || return 1
    read -r fw fh fx fy <<<"$found"
    ((fw >= 12 && fw <= 40 && fh >= 12)) || return 1
    echo $((fx + fw / 2)) $((fy + fh / 2))
}
wait_for 15 tray_icon || fail "no icon in waybar's tray"
read -r ix iy < <(tray_icon)
log "tray icon at $ix,$iy"

# A click opens a small floating popover at the tray's end, under the bar.
click "$ix" "$iy"
wait_for 10 has_window Swatchbar || fail "a tray click opened no popover"
sleep 0.5 # moved by the program once mapped
IFS=$'\t' read -r _ geometry kind < <(window Swatchbar)
read -r px py pw ph <<<"$geometry"
log "popover at $px,$py ${pw}x$ph ($kind)"
shot popover-wayland >/dev/null
[[ "$kind" == floating ]] || fail "the popover is tiled"
((pw >= 400 && ph >= 400 && pw <= 600 && ph <= 600)) || fail "popover size ${pw}x$ph"
((py >= BAR && py <= BAR + 20)) || fail "popover not under the bar: top $py"
((px + pw >= WIDTH - 20 && px + pw <= WIDTH)) || fail "popover not at the tray's end: $px + $pw"
((px <= ix && ix <= px + pw)) || fail "popover not below the icon"

# The second click on the icon closes it.
click "$ix" "$iy"
wait_for 5 no_window Swatchbar ||
    fail "a second tray click did not close the popover"
sleep 0.5

# Escape closes it (the virtual keyboard presses it on SIGUSR1).
click "$ix" "$iy"
wait_for 10 has_window Swatchbar || fail "the popover did not open after the second click"
sleep 0.5
kill -USR1 "$VINPUT_PID"
wait_for 5 no_window Swatchbar || fail "Escape did not close the popover"
sleep 0.5

# A click elsewhere (the focus goes away) closes it too.
click "$ix" "$iy"
wait_for 10 has_window Swatchbar || fail "the popover did not open again"
sleep 0.5
click 300 600
wait_for 5 no_window Swatchbar ||
    fail "a click elsewhere did not close the popover"
sleep 0.5

# A preview opens its palette window, and a swatch click copies.
click "$ix" "$iy"
wait_for 10 has_window Swatchbar || fail "the popover did not open a third time"
sleep 0.5
IFS=$'\t' read -r _ geometry _ < <(window Swatchbar)
read -r px py pw ph <<<"$geometry"
img=$(shot popover-again "$px,$py ${pw}x$ph")
read -r cx cy < <(locate "$img" "$px" "$py" '#FF8000') || fail "no Probe preview in the popover"
# Its context menu takes the focus but keeps the popover open; Escape closes the menu only.
msg seat - cursor set "$cx" "$cy" >/dev/null
sleep 0.2
msg seat - cursor press button3 >/dev/null
msg seat - cursor release button3 >/dev/null
sleep 0.7
shot context-menu-wayland >/dev/null
has_window Swatchbar || fail "the context menu closed the popover"
kill -USR1 "$VINPUT_PID"
sleep 0.5
has_window Swatchbar || fail "Escape in the context menu closed the popover"
click "$cx" "$cy"
wait_for 10 has_window "Viewing: Probe" || fail "no \"Viewing: Probe\" window"
sleep 0.5
IFS=$'\t' read -r _ geometry _ < <(window "Viewing: Probe")
read -r vx vy vw vh <<<"$geometry"
img=$(shot palette-wayland "$vx,$vy ${vw}x$vh")
read -r sx sy < <(locate "$img" "$vx" "$vy" '#FF8000') || fail "no swatch in the palette window"
click "$sx" "$sy"
wait_for 5 grep -qxF "Copied: 255, 127, 0" "$TMP/out.txt" || fail "no \"Copied: 255, 127, 0\" line"
wait_for 5 test "$(run wl-paste -n 2>/dev/null)" = "255, 127, 0" ||
    fail "wl-paste gives \"$(run wl-paste -n 2>&1)\""
has_window Swatchbar && fail "the popover stayed open over the palette window"
shot final-wayland >/dev/null
echo "PASS: popover_wayland ($((SECONDS))s)"
