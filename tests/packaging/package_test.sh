#!/usr/bin/env bash
# Builds the Debian package from the build and checks it with dpkg-deb: its name, that it
# holds exactly the staged file list, and its control fields (the libraries dpkg-shlibdeps
# found, the report fonts, the section).
# Usage: package_test.sh BUILD-DIR EXPECTED-FILE-LIST VERSION
set -euo pipefail
build=$1 expected=$2 version=$3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
  { cat "$out/cpack.log"; exit 1; }
deb=$out/korvane_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "no $deb:"; ls "$out"; exit 1; }

dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's#^\.##' | LC_ALL=C sort >"$out/files"
diff -u <(LC_ALL=C sort "$expected") "$out/files"

field() { dpkg-deb -f "$deb" "$1"; }
fail=0
expect() {  # expect FIELD PATTERN
  local value
  value=$(field "$1")
  grep -Eq -- "$2" <<<"$value" || { echo "$1: '$value' lacks $2"; fail=1; }
}
expect Package '^korvane$'
expect Version "^${version}\$"
expect Section '^electronics$'
expect Description '^configuration and monitoring'
for dependency in libqt6widgets6 libqt6serialport6 libqt6gui6 libqt6core6 libc6 libstdc\\+\\+6 \
                  libgit2-[0-9.]+ fonts-liberation2 qt6-translations-l10n; do
  expect Depends "(^|, )${dependency}( |,|$)"
done
# Built with debug information, shipped stripped.
dpkg-deb -x "$deb" "$out/root"
file -b "$out/root/usr/bin/korvane" | grep -q ', stripped' || { echo "korvane not stripped"; fail=1; }
echo "Depends: $(field Depends)"
echo "size: $(stat -c %s "$deb") bytes"
exit $fail
