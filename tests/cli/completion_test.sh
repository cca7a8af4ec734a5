#!/usr/bin/env bash
# The bash completion of korvane-cli, run as bash runs it on a TAB: what each command line
# completes to, and every command --help names among the completions.
# Usage: completion_test.sh COMPLETION-FILE KORVANE-CLI
set -u
completion=$1 cli=$2
# bash-completion's helpers, reduced to what the completion asks of them.
_init_completion() {
  words=("${COMP_WORDS[@]}") cword=$COMP_CWORD
  cur=${words[cword]} prev=${words[cword - 1]}
}
_filedir() { COMPREPLY=("files:${1:-any}"); }
# shellcheck source=/dev/null
source "$completion"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/ports"
ln -s /dev/null "$work/ports/COM4"
ln -s /dev/null "$work/ports/COM12"

fail=0
check() {  # check "LINE" "EXPECTED" (a line ending in a blank completes a new word)
  local line=$1 expected=$2 got
  read -ra COMP_WORDS <<<"$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _korvane_cli
  got="${COMPREPLY[*]}"
  [[ $got == "$expected" ]] || { echo "'$line': '$got', expected '$expected'"; fail=1; }
}

commands=$("$cli" --help | awk '/^Commands:/ { f = 1; next } /^$/ { f = 0 } f && /^  [a-z]/ && !seen[$1]++ { print $1 }' | xargs)
[[ -n $commands ]] || { echo "--help names no command"; exit 1; }
check "korvane-cli " "$commands"
check "korvane-cli --json re" "read report restore-default records"
check "korvane-cli read --inter" "--interface"
check "korvane-cli --interface " "usb rs485"
check "korvane-cli --parity e" "even"
check "korvane-cli --baud 19" "19200"
check "korvane-cli --work-dir $work --port CO" "COM12 COM4"
check "korvane-cli --work-dir $work identify --port COM1" "COM12"
check "korvane-cli read -o " "files:kvn"
check "korvane-cli log -o " "files:csv"
check "korvane-cli report --file " "files:kvn"
check "korvane-cli report -o " "files:pdf"
check "korvane-cli compare " "files:kvn"
check "korvane-cli identify " ""
check "korvane-cli program " "files:kvn"
check "korvane-cli program a.kvn --password-file " "files:any"
check "korvane-cli program a.kvn --expect" "--expect-checksum"
check "korvane-cli res" "restore-default"
check "korvane-cli records " "log show diff server sync import"
check "korvane-cli records show KV1 -o " "files:kvn"
check "korvane-cli records log KV1 --csv -o " "files:csv"
exit $fail
