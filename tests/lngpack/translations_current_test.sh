#!/usr/bin/env bash
# translations/korvane.ts holds exactly the translatable texts of the sources: lupdate, run on
# a copy with the arguments of the update_translations target, changes nothing.
# Usage: translations_current_test.sh LUPDATE CATALOGUE LUPDATE-ARGUMENTS...
set -euo pipefail
lupdate=$1 catalogue=$2
shift 2
copy=$(mktemp --suffix=.ts)
trap 'rm -f "$copy"' EXIT
cp "$catalogue" "$copy"
"$lupdate" "$@" -ts "$copy" 2>/dev/null
if ! diff -u "$catalogue" "$copy"; then
  echo "translations/korvane.ts is out of date: cmake --build build --target update_translations"
  exit 1
fi
echo "korvane.ts: $(grep -c '<message>' "$catalogue") texts, as the sources have them"
