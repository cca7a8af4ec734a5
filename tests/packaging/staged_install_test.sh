#!/usr/bin/env bash
# Installs the build into a staging folder (DESTDIR) and checks what lands there: exactly the
# expected files, icons of the size their folder names, man pages that render without a
# warning, and a desktop entry and metainfo that their validators accept.
# Usage: staged_install_test.sh BUILD-DIR EXPECTED-FILE-LIST APP-ID
set -euo pipefail
build=$1 expected=$2 id=$3
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
(cd "$stage" && find . ! -type d | sed 's#^\.##' | LC_ALL=C sort) >"$stage.list"
trap 'rm -rf "$stage" "$stage.list"' EXIT
diff -u <(LC_ALL=C sort "$expected") "$stage.list"

share=$stage/usr/share
for png in "$share"/icons/hicolor/*x*/apps/"$id".png; do
  size=$(basename "$(dirname "$(dirname "$png")")")  # 48x48
  file -b "$png" | grep -q "PNG image data, ${size/x/ x }," ||
    { echo "$png: not a ${size} PNG: $(file -b "$png")"; exit 1; }
done
file -b "$share/icons/hicolor/scalable/apps/$id.svg" | grep -q "SVG" || { echo "icon is no SVG"; exit 1; }

for page in "$share"/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$page: $warnings"; exit 1; }
done

desktop-file-validate "$share/applications/$id.desktop"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml"
for program in korvane korvane-cli korvane-sim korvane-lngpack; do
  [ -x "$stage/usr/bin/$program" ] || { echo "$program is not executable"; exit 1; }
done
echo "staged install: $(wc -l <"$stage.list") files as expected"
