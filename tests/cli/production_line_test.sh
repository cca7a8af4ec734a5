#!/usr/bin/env bash
# The README's production-line script, taken from the README as a line would copy it, run on four
# simulated units from one released file; the third unit rejects a group at the commit. Each
# verdict must name exactly the unit it belongs to, and the script's status is the highest.
# Usage: production_line_test.sh README KORVANE-CLI KORVANE-SIM
set -u
readme=$1 cli=$2 sim=$3
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work KORVANE_TEST_PAUSE_DIVISOR=20

awk '/<!-- production-line-script -->/ { found = 1; next }
     found && /^```/ { if (inside) exit; inside = 1; next }
     inside { print }' "$readme" >"$work/program-units.sh"
grep -q 'korvane-cli' "$work/program-units.sh" || { echo "the README holds no production-line script"; exit 1; }

for i in 1 2 3 4; do
  fault=()
  [[ $i == 3 ]] && fault=(--reject-groups 0x08)
  "$sim" --usb --link "$work/unit$i" "${fault[@]}" >/dev/null 2>&1 &
  pids+=($!)
done
for i in 1 2 3 4; do
  for _ in $(seq 50); do [[ -e $work/unit$i ]] && break; sleep 0.1; done
done

checksum=$("$cli" read -o "$work/released.kvn" --port "$work/unit1" --interface usb --work-dir "$work/w" --json |
  sed -n 's/.*"checksum":\([0-9]*\).*/\1/p')
[[ -n $checksum ]] || { echo "no released file"; exit 1; }
echo admin >"$work/admin-password"

out=$(KORVANE_CLI=$cli KORVANE_PASSWORD_FILE=$work/admin-password \
  bash "$work/program-units.sh" "$work/released.kvn" "$checksum" "$work/unit1" "$work/unit2" "$work/unit3" "$work/unit4")
status=$?
fail=0
expect() {  # expect LINE-NUMBER VERDICT PORT
  local line
  line=$(sed -n "$1p" <<<"$out")
  [[ $line == "$2"$'\t'"$3"$'\t'* ]] || { echo "line $1: '$line', expected '$2' for $3"; fail=1; }
}
expect 1 "PASS" "$work/unit1"
expect 2 "PASS" "$work/unit2"
expect 3 "FAIL, previous set in force" "$work/unit3"
expect 4 "PASS" "$work/unit4"
grep -q '\[Measurement\]' <<<"$(sed -n 3p <<<"$out")" || { echo "the rejected group is not named"; fail=1; }
[[ $status == 6 ]] || { echo "status $status, expected 6"; fail=1; }
# The same script refuses every unit when the file is not the released one.
out=$(KORVANE_CLI=$cli KORVANE_PASSWORD_FILE=$work/admin-password \
  bash "$work/program-units.sh" "$work/released.kvn" "$((checksum + 1))" "$work/unit1" "$work/unit2")
status=$?
[[ $status == 5 && $(grep -c '^NOT PROGRAMMED' <<<"$out") == 2 ]] || { echo "a wrong checksum: status $status: $out"; fail=1; }
# A password file the line cannot read is its own fault, not a missing unit.
out=$(KORVANE_CLI=$cli KORVANE_PASSWORD_FILE=$work/no-such-file \
  bash "$work/program-units.sh" "$work/released.kvn" "$checksum" "$work/unit1" "$work/unit2")
status=$?
[[ $status == 2 && $(grep -c '^BAD FILE OR PASSWORD FILE' <<<"$out") == 2 ]] || { echo "no password file: status $status: $out"; fail=1; }
exit $fail
