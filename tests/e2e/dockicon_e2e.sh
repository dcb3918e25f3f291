#!/usr/bin/env bash
# The taskbar entry under a real X server with "hideDockIcon" on: a palette window on screen
# joins the taskbar while the preferences are open and leaves it when they close, through its
# skip-taskbar state, in place: the same window, never unmapped.
# Usage: dockicon_e2e.sh PATH_TO_SWATCHBAR
source "$(dirname "$0")/lib.sh"

# skips_taskbar WINDOW: whether the window's state holds the skip-taskbar state.
skips_taskbar() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR; }
in_taskbar() { ! skips_taskbar "$1"; }

# close_window WINDOW: asks the window to close, as a window manager's close button does.
close_window() {
    python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
class Message(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 16)]
d = x.XOpenDisplay(None)
window = int(sys.argv[1], 0)
m = Message(type=33, window=window, format=32)  # ClientMessage
m.message_type = x.XInternAtom(d, b"WM_PROTOCOLS", 0)
m.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(d, window, 0, 0, ctypes.byref(m))
x.XFlush(d)
x.XCloseDisplay(d)
PY
}


# open_preferences: opens the popover from the tray icon and clicks "Preferences".
open_preferences() {
    e2e_click_window "$icon"
    local popover
    popover=$(e2e_find_window 300 300) || e2e_fail "the popover did not open"
    e2e_click_preferences "$popover"
}

e2e_init "$1"
command -v python3 >/dev/null || e2e_fail "missing tool: python3"
e2e_start_x 1280x800
e2e_start_tray
mkdir -p "$E2E_PALETTES" "$XDG_CONFIG_HOME/Swatchbar"
printf '%s' '{"palName":"Marks","palColors":[{"colName":"Magenta","colColor":{"red":1,"green":0,"blue":1}}]}' \
    >"$E2E_PALETTES/Marks.json"
printf '[General]\nhideDockIcon=true\n' >"$XDG_CONFIG_HOME/Swatchbar/Swatchbar.conf"
e2e_start_app
e2e_wait_for_line "Successfully loaded all(1) color palettes!"
sleep 0.6 # the launch's own dock-icon request

icon=$(e2e_tray_icon) || e2e_fail "no tray icon"
e2e_click_window "$icon"
popover=$(e2e_find_window 300 300) || e2e_fail "the popover did not open"
window=$(e2e_open_palette "$popover" '#FF00FF' Marks)
e2e_wait 5 skips_taskbar "$window" || e2e_fail "the palette window is in the taskbar"
xev -id "$window" -event structure >"$E2E_TMP/structure.txt" 2>&1 &
E2E_PIDS+=($!)
sleep 0.3

open_preferences
prefs=$(xdotool search --onlyvisible --name '^Preferences$' | head -n1)
e2e_wait 5 in_taskbar "$prefs" || e2e_fail "the preferences window stays out of the taskbar"
e2e_wait 5 in_taskbar "$window" || e2e_fail "the palette window stays out of the taskbar"
sleep 0.5
in_taskbar "$prefs" || e2e_fail "the preferences window left the taskbar"
xwininfo -id "$prefs" | grep -q IsViewable || e2e_fail "the preferences window went off screen"
[[ "$(xdotool search --onlyvisible --name '^Preferences$')" == "$prefs" ]] ||
    e2e_fail "the preferences window was made again"

close_window "$prefs"
e2e_wait 5 bash -c "! xwininfo -id $prefs | grep -q IsViewable" ||
    e2e_fail "the preferences window did not close"
e2e_wait 5 skips_taskbar "$window" || e2e_fail "the palette window stays in the taskbar"
sleep 0.3
xwininfo -id "$window" | grep -q IsViewable || e2e_fail "the palette window went off screen"
[[ "$(xdotool search --onlyvisible --name '^Viewing: Marks$')" == "$window" ]] ||
    e2e_fail "the palette window was made again"
! grep -qE 'UnmapNotify|DestroyNotify' "$E2E_TMP/structure.txt" ||
    e2e_fail "the palette window was taken down: $(grep -E 'Unmap|Destroy' "$E2E_TMP/structure.txt")"
e2e_screenshot dock_icon >/dev/null
e2e_pass
