#!/usr/bin/env bash
# Brings every resources/translations/*.ts up to date with the texts in src/: new texts are
# added as unfinished, removed ones dropped. Translate the new ones (Qt Linguist, or by hand
# in the .ts files) and commit; the test app_translation_test fails while any is missing.
# Usage: scripts/update-translations.sh [LANGUAGE...]   (e.g. "de" to add or update one)
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=/usr/lib/qt6/bin/lupdate
[[ -x "$lupdate" ]] || { echo "lupdate missing: apt-get install qt6-l10n-tools" >&2; exit 1; }
if (($# > 0)); then
    ts=()
    for lang in "$@"; do ts+=("resources/translations/swatchbar_$lang.ts"); done
else
    ts=(resources/translations/swatchbar_*.ts)
fi
"$lupdate" -silent -locations none -no-obsolete src -ts "${ts[@]}"
# Report what is left to translate.
for file in "${ts[@]}"; do
    left=$(grep -c 'type="unfinished"' "$file" || true)
    echo "$(basename "$file"): $left unfinished"
done
