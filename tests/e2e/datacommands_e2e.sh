#!/usr/bin/env bash
# --import, --export, --list and --print in a fresh home without a display: their exact lines
# and exit statuses, round trips through every format, bad files that write nothing, and a
# running Swatchbar that shows what was imported.
# Usage: datacommands_e2e.sh PATH_TO_SWATCHBAR
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$E2E_BIN" "$@"; }
expect_status() { # expect_status WANTED COMMAND...
    local wanted=$1 status=0
    shift
    "$@" >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr" || status=$?
    ((status == wanted)) || e2e_fail "$* ended with $status, not $wanted: $(cat "$E2E_TMP/stdout" "$E2E_TMP/stderr")"
}
expect_stdout() { # expect_stdout TEXT
    diff <(printf '%s' "$1") "$E2E_TMP/stdout" >&2 || e2e_fail "unexpected output (diff above)"
}

files="$E2E_TMP/files"
mkdir -p "$files"
printf 'GIMP Palette\nName: Brand\nColumns: 2\n# exported by hand\n255 127   0\tOrange\n204 144 100\n' >"$files/brand.gpl"
printf ':root {\n  --ink: rgb(20 30 40); /* Ink */\n  --sky: #3a7bd5;\n}\n' >"$files/web.css"
printf 'GIMP Palette\n1 2 3 Caf\xe9\n' >"$files/latin1.gpl"
printf 'ASEF\0\1\0\0\377\377\377\377' >"$files/huge.ase"

expect_status 0 run --list
expect_stdout ""

expect_status 1 run --import "$files/brand.gpl" "$files/latin1.gpl" "$files/web.css" "$files/huge.ase" "$files/brand.gpl"
expect_stdout "Imported pal: Brand (2 colors) from $files/brand.gpl
Failed to import $files/latin1.gpl : not valid UTF-8 text
Imported pal: web (2 colors) from $files/web.css
Failed to import $files/huge.ase : it declares 4294967295 blocks, more than its 12 bytes can hold
Imported pal: Brand 2 (2 colors) from $files/brand.gpl
"
[[ "$(ls "$E2E_PALETTES" | sort | tr '\n' ' ')" == "Brand 2.json Brand.json web.json " ]] ||
    e2e_fail "palette files: $(ls "$E2E_PALETTES")"

expect_status 0 run --list
[[ "$(sort "$E2E_TMP/stdout" | tr '\n' ' ')" == "Brand Brand 2 web " ]] || e2e_fail "list: $(cat "$E2E_TMP/stdout")"

expect_status 0 run --print Brand
expect_stdout $'255, 127, 0\tOrange\n204, 144, 100\t#CC9064\n'
# The palette's own copy format is used, a user template included.
printf '[General]\nBrand.colFormatIdx=6\nformats.user=oklch(\xc2\xa7{okl} \xc2\xa7{okc} \xc2\xa7{okh})\n' >>"$XDG_CONFIG_HOME/Swatchbar/Swatchbar.conf"
expect_status 0 run --print Brand
expect_stdout $'oklch(0.730 0.186 52.6)\tOrange\noklch(0.703 0.094 56.8)\t#CC9064\n'
[[ "$(run --print web | cut -f1 | head -1)" == "20, 30, 40" ]] || e2e_fail "print through a pipe"

for ext in gpl ase css txt json; do
    expect_status 0 run --export web "$files/out.$ext"
    expect_stdout "Exported pal: web (2 colors) to $files/out.$ext
"
    expect_status 0 run --import "$files/out.$ext"
    # .gpl and .json carry the palette's name, the others take the file's.
    name=$(sed -n 's/^Imported pal: \(.*\) (2 colors) from .*$/\1/p' "$E2E_TMP/stdout")
    [[ "$name" == "web 2" || "$name" == out ]] || e2e_fail "$ext imported as \"$name\""
    expect_status 0 run --print "$name"
    expect_stdout $'20, 30, 40\tInk\n58, 123, 213\tsky\n'
    rm "$E2E_PALETTES/$name.json"
done

expect_status 1 run --export Nope "$files/x.gpl"
expect_stdout "Failed to export \"Nope\" : no palette has that name
"
expect_status 1 run --export web "$files/x.pdf"
[[ ! -e "$files/x.pdf" ]] || e2e_fail "wrote a file of an unknown type"
expect_status 1 run --print Nope
expect_stdout ""
grep -q 'No palette named "Nope"' "$E2E_TMP/stderr" || e2e_fail "no line for a missing palette"

expect_status 2 run --import
expect_status 2 run --export web
expect_status 2 run --list extra
expect_status 2 run --list --print web
expect_status 2 run --frobnicate
grep -q "Usage:" "$E2E_TMP/stderr" || e2e_fail "no usage on a mistake"

# A running Swatchbar shows the palettes imported meanwhile.
e2e_start_x 1024x768
e2e_start_app
e2e_wait_for_line "Successfully loaded all(3) color palettes!"
expect_status 0 env -u DISPLAY "$E2E_BIN" --import "$files/web.css"
e2e_wait_for_line "Successfully loaded all(4) color palettes!" 10
e2e_pass
