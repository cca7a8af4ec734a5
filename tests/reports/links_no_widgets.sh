#!/bin/sh
# A program built on the report core needs Qt's GUI library (fonts, PDF) and not its widgets.
set -eu
needed=$(readelf -d "$1" | grep NEEDED)
echo "$needed"
echo "$needed" | grep -q 'libQt6Gui' || { echo "FAIL: libQt6Gui not among the needed libraries"; exit 1; }
if echo "$needed" | grep -q 'libQt6Widgets'; then
  echo "FAIL: $1 needs libQt6Widgets"
  exit 1
fi
