#!/usr/bin/env bash
# Standard output may go away (swatchbar | head -n1): the program keeps running, and a second
# launch still opens its popover or says that it could not.
# Usage: tests/e2e/closed_stdout_e2e.sh path/to/swatchbar
source "$(dirname "$0")/lib.sh"

e2e_init "$1"
e2e_start_x 1280x800
e2e_start_tray
e2e_make_palettes 2
# Undecodable files make lines at start-up, all written into a pipe nobody reads any more.
printf '{' >"$E2E_PALETTES/broken.json"

mkfifo "$E2E_TMP/pipe"
head -c0 <"$E2E_TMP/pipe" &
E2E_PIDS+=($!)
"$E2E_BIN" >"$E2E_TMP/pipe" 2>"$E2E_ERR" &
E2E_APP_PID=$!
E2E_PIDS+=("$E2E_APP_PID")

icon=$(e2e_tray_icon 20) || e2e_fail "no tray icon: the program died ($(cat "$E2E_ERR"))"
sleep 0.5
kill -0 "$E2E_APP_PID" || e2e_fail "the program ended when its standard output closed"

# A second launch: the popover opens, and the launch ends at once with status 0.
"$E2E_BIN" >"$E2E_TMP/second.out" 2>&1 || e2e_fail "second launch failed: $(cat "$E2E_TMP/second.out")"
e2e_find_window 300 300 5 >/dev/null || e2e_fail "the second launch did not open the popover"
kill -0 "$E2E_APP_PID" || e2e_fail "the program ended"

# When the running copy cannot act on it (stopped), the second launch says so.
kill -STOP "$E2E_APP_PID"
status=0
timeout 20 "$E2E_BIN" >"$E2E_TMP/third.out" 2>&1 || status=$?
kill -CONT "$E2E_APP_PID"
[[ $status -eq 1 ]] || e2e_fail "second launch to a stopped program ended with $status"
grep -q "did not open its popup" "$E2E_TMP/third.out" ||
    e2e_fail "no message from the second launch: $(cat "$E2E_TMP/third.out")"
e2e_pass
