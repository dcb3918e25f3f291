#!/usr/bin/env bash
# The command line without any display: help and version answer on stdout with status 0; a
# wrong option or a stray argument prints the usage on stderr with status 2; only --pick and a
# plain start need a graphical session.
# Usage: tests/app/command_line_test.sh path/to/swatchbar
set -uo pipefail
bin=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$tmp" XDG_RUNTIME_DIR="$tmp" \
    timeout 10 "$bin" "$@" >"$tmp/out" 2>"$tmp/err"; echo $?; }

[[ $(run --help) == 0 ]] || fail "--help: $(cat "$tmp/err")"
grep -q '^Usage: swatchbar \[options\]' "$tmp/out" || fail "--help printed: $(cat "$tmp/out")"
grep -q -- '--pick' "$tmp/out" || fail "--help does not mention --pick"
grep -q -- '--help-all' "$tmp/out" && fail "--help offers toolkit options"
[[ -s "$tmp/err" ]] && fail "--help wrote to stderr: $(cat "$tmp/err")"
[[ $(run -h) == 0 ]] || fail "-h"

[[ $(run --version) == 0 ]] || fail "--version: $(cat "$tmp/err")"
grep -qx 'swatchbar [0-9][0-9.]*' "$tmp/out" || fail "--version printed: $(cat "$tmp/out")"

for wrong in --bogus -x "--pick=1" stray; do
    [[ $(run $wrong) == 2 ]] || fail "$wrong did not end with status 2"
    [[ -s "$tmp/out" ]] && fail "$wrong wrote to stdout: $(cat "$tmp/out")"
    grep -q '^Usage: swatchbar \[options\]' "$tmp/err" || fail "$wrong: no usage on stderr"
done
grep -q 'Unexpected argument: stray' "$tmp/err" || fail "stray argument not named"

# A file name that is not valid text would name another file once converted: refused, and
# nothing written under the mangled name.
printf 'GIMP Palette\nName: Any\n1 2 3\n' >"$tmp/any.gpl"
[[ $(run --import "$tmp/any.gpl") == 0 ]] || fail "--import: $(cat "$tmp/out" "$tmp/err")"
[[ $(run --export Any "$tmp/caf"$'\xe9'".gpl") == 2 ]] || fail "a file name that is not text: $(cat "$tmp/err")"
grep -q '^Usage: swatchbar \[options\]' "$tmp/err" || fail "no usage for a file name that is not text"
[[ -z $(find "$tmp" -name 'caf*') ]] || fail "wrote $(find "$tmp" -name 'caf*')"

# The picker needs a display: said plainly, not a toolkit abort.
[[ $(run --pick) == 2 ]] || fail "--pick without a display"
grep -q 'no graphical session' "$tmp/err" || fail "--pick without a display: $(cat "$tmp/err")"
echo "PASS: command line"
