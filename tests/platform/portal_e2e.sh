#!/usr/bin/env bash
# The screen picker through the desktop portal, without Wayland: SWATCHBAR_USE_PORTAL=1 under
# Xvfb, and a fake portal on a private session bus that answers PickColor with a colour, with
# a cancel, or not at all; then no portal at all.
# Usage: tests/platform/portal_e2e.sh path/to/swatchbar path/to/fake_portal
if [[ -z "${PORTAL_E2E_BUS:-}" ]]; then
    # A private bus that ends with this script.
    exec dbus-run-session -- env PORTAL_E2E_BUS=1 bash "$0" "$@"
fi
bus="$DBUS_SESSION_BUS_ADDRESS"
source "$(dirname "$0")/../e2e/lib.sh"

FAKE="$(readlink -f "$2")"
[[ -x "$FAKE" ]] || { echo "FAIL: no fake portal at $2" >&2; exit 1; }
FAKE_PID=""

# start_fake MODE...: the fake portal, waited for until it owns its name.
start_fake() {
    "$FAKE" "$@" >"$E2E_TMP/fake.txt" 2>&1 &
    FAKE_PID=$!
    E2E_PIDS+=("$FAKE_PID")
    e2e_wait 10 grep -qx ready "$E2E_TMP/fake.txt" || e2e_fail "fake portal: $(cat "$E2E_TMP/fake.txt")"
}
stop_fake() {
    kill "$FAKE_PID" 2>/dev/null || true
    wait "$FAKE_PID" 2>/dev/null || true
}
calls() { grep -c '^PickColor$' "$E2E_TMP/fake.txt" || true; }
# Evaluated by e2e_wait on each try.
called() { (($(calls) >= 1)); }
clipboard_is() { [[ "$(e2e_clipboard)" == "$1" ]]; }

e2e_init "$1"
export DBUS_SESSION_BUS_ADDRESS="$bus" SWATCHBAR_USE_PORTAL=1
e2e_start_x 1280x800
e2e_start_tray

# A colour that went through a float on its way (102/255 as a float is 0.4000000059604645):
# stored as the exact fraction of 255 all the same.
start_fake color 0.4000000059604645 0.2 0.6
e2e_start_app --pick
e2e_wait_for_line "Picked col: #663399 sRGB 0.4 0.2 0.6 1"
e2e_wait_for_line "Copied: 102, 51, 153"
e2e_wait 5 clipboard_is "102, 51, 153" || e2e_fail "clipboard: $(e2e_clipboard)"
expected='{"palName":"Picked","palColors":[{"colName":"#663399","colColor":{"red":0.4,"green":0.2,"blue":0.6,"alpha":1}}]}'
[[ "$(cat "$E2E_PALETTES/Picked.json")" == "$expected" ]] ||
    e2e_fail "Picked.json holds: $(cat "$E2E_PALETTES/Picked.json")"
# No overlay on this path: the portal does the picking.
[[ -z "$(e2e_first_window 0 e2e_at_least 1280 800)" ]] || e2e_fail "an overlay opened"
e2e_log "portal colour picked"

stop_fake
start_fake cancel
"$E2E_BIN" --pick || e2e_fail "--pick to the running program failed"
e2e_wait_for_line "Pick cancelled"
((${#expected} == $(wc -c <"$E2E_PALETTES/Picked.json"))) || e2e_fail "a cancel changed Picked.json"
e2e_log "portal cancel"

# A portal that takes the call and never answers: one line after the call's time limit.
stop_fake
start_fake silent
"$E2E_BIN" --pick || e2e_fail "--pick to the running program failed"
e2e_wait 5 called || e2e_fail "the silent portal was not called"
e2e_wait_for_line "Failed to pick a color: the desktop portal did not answer" 20
e2e_log "silent portal ends the pick"

# No portal at all.
stop_fake
"$E2E_BIN" --pick || e2e_fail "--pick to the running program failed"
e2e_wait 10 grep -q '^Failed to pick a color: no desktop portal answers' "$E2E_OUT" ||
    e2e_fail "no line for a missing portal"
# The program carries on: another --pick still reaches it and is answered.
start_fake color 0 0 1
"$E2E_BIN" --pick || e2e_fail "--pick after the failures failed"
e2e_wait_for_line "Copied: 0, 0, 255"
e2e_log "no portal, then a portal again"

e2e_pass
