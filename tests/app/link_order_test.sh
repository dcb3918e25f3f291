#!/usr/bin/env bash
# The program's libraries: Qt and the C++ and C runtime are named before the libraries only
# this program uses, so that the loader's lookups for Qt find their symbols sooner; the
# libraries named for that alone are ones Qt loads anyway, so the program loads nothing more
# than Qt, simdjson and xcb would; and every library it names is found, so it starts.
# Usage: link_order_test.sh BINARY
set -euo pipefail
bin="$1"
fail() { echo "FAIL: $*" >&2; exit 1; }

mapfile -t named < <(readelf -d "$bin" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
((${#named[@]} > 0)) || fail "no libraries named in $bin"
position() { # prefix of a library's file name -> its place among the named ones, or -1
    local i
    for i in "${!named[@]}"; do
        [[ "${named[$i]}" == "$1".so* ]] && { echo "$i"; return; }
    done
    echo -1
}
for early in libQt6Widgets libQt6Gui libQt6Core libstdc++ libc; do
    e=$(position "$early")
    ((e >= 0)) || fail "$early is not named: ${named[*]}"
    for late in libsimdjson libQt6DBus libxcb; do
        l=$(position "$late")
        ((l < 0 || e < l)) || fail "$late comes before $early: ${named[*]}"
    done
done

# Everything the loader maps for the program, and for its direct libraries on their own.
loaded() { ldd "$@" | awk '$2 == "=>" {print $1}' | sort -u; }
program=$(ldd "$bin")
! grep -q "not found" <<<"$program" || fail "a library is not found: $program"
direct=()
for name in "${named[@]}"; do
    case "$name" in
    libQt6* | libsimdjson* | libxcb* | libstdc++* | libgcc_s* | libc.so* | libm.so* | libasan* | libubsan*)
        direct+=("$(awk -v n="$name" '$1 == n {print $3}' <<<"$program")")
        ;;
    esac
done
extra=$(comm -23 <(loaded "$bin") <({ loaded "${direct[@]}"; for d in "${direct[@]}"; do basename "$d"; done; } | sort -u))
[[ -z "$extra" ]] || fail "the program loads libraries that neither Qt nor its own need: $extra"
echo "PASS: ${named[*]}"
