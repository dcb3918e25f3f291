#!/usr/bin/env bash
# Usage: package_metadata.sh SOURCE_DIR BUILD_DIR METAINFO APP_ID
set -euo pipefail
src=$1 build=$2 metainfo=$3 app_id=$4
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in desktop-file-validate appstreamcli man; do
    command -v "$tool" >/dev/null || fail "missing tool: $tool (scripts/install-deps.sh --test)"
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Hints are advice; errors and warnings fail the tool's exit status.
desktop-file-validate "$src/resources/swatchbar.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --no-color "$metainfo" || fail "appstreamcli validate"
grep -q "<launchable type=\"desktop-id\">swatchbar.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch swatchbar.desktop"
grep -q '<content_rating type="oars-1.1"' "$metainfo" || fail "no OARS rating"
(($(grep -c '<caption>' "$metainfo") >= 1)) || fail "no screenshot captions"

# The manual page formats cleanly and documents every option of --help.
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$src/resources/swatchbar.1" 2>&1 >"$tmp/man.txt") ||
    fail "man could not format the page"
[[ -z "$warnings" ]] || fail "man page warnings: $warnings"
for option in --help --version --pick --import --export --list --print; do
    grep -q -- "$option" "$tmp/man.txt" || fail "man page does not document $option"
done

# The SVG icon is well-formed XML with a view box, so it scales.
python3 - "$src/resources/swatchbar.svg" <<'PY' || fail "swatchbar.svg is not a usable SVG"
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
assert root.tag == '{http://www.w3.org/2000/svg}svg' and root.get('viewBox'), root.tag
PY

# An install holds what the package is made of.
DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr >/dev/null || fail "cmake --install"
for file in bin/swatchbar share/applications/swatchbar.desktop \
    share/icons/hicolor/scalable/apps/swatchbar.svg share/icons/hicolor/48x48/apps/swatchbar.png \
    share/icons/hicolor/256x256/apps/swatchbar.png "share/metainfo/$app_id.metainfo.xml" \
    share/man/man1/swatchbar.1.gz; do
    [[ -s "$tmp/root/usr/$file" ]] || fail "install lacks /usr/$file"
done
gzip -t "$tmp/root/usr/share/man/man1/swatchbar.1.gz" || fail "man page archive is damaged"
echo "PASS: package_metadata"
