#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# corvane.exe under Wine on the lab's simulated PC (standard lab), command for command beside
# the Linux build's corvane: the same output, --json and exit status for the same devices, and
# the device changed as the command says; language support through a network path. Run by scripts/test-windows.sh through
# `lab.sh run tools/lab/configs/standard.json --`; the Wine prefix server starts in here.
set -uo pipefail
: "${CORVANE_EXE:?} ${CORVANE_LINUX_CLI:?} ${CORVANE_WINE:?} ${CORVANE_LAB_DIR:?} ${WINEPREFIX:?}"
lab=$(dirname "$0")/../../tools/lab/lab.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

fail() {
  echo "FAIL: $*"
  failed=$((failed + 1))
}

# Runs one binary: $work/NAME.out, .err and .status. Reply order varies from run to run, so
# output lines are compared sorted.
run() {
  local name=$1
  shift
  "$@" <"$work/stdin" >"$work/$name.out" 2>"$work/$name.err"
  echo $? >"$work/$name.status"
  sort -o "$work/$name.out" "$work/$name.out"
}
windows() { run win "$CORVANE_WINE" "$CORVANE_EXE" "$@"; }
linux() { run lin "$CORVANE_LINUX_CLI" "$@"; }
reset_devices() { "$lab" reset "$CORVANE_LAB" >/dev/null 2>&1 || fail "lab reset"; }
state() { python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))[sys.argv[2]])' \
  "$CORVANE_LAB_DIR/devices/$1.state.json" "$2"; }

# The same command on both, each on freshly reset devices; then the state Windows left.
same() {
  local expect=$1
  shift
  : >"$work/stdin"
  reset_devices
  linux "$@"
  reset_devices
  windows "$@"
  local what="corvane $*"
  if ! cmp -s "$work/lin.out" "$work/win.out" || ! cmp -s "$work/lin.err" "$work/win.err" ||
    ! cmp -s "$work/lin.status" "$work/win.status"; then
    fail "$what: Windows differs from Linux"
    diff "$work/lin.out" "$work/win.out"
    diff "$work/lin.err" "$work/win.err"
    echo "status: Linux $(cat "$work/lin.status"), Windows $(cat "$work/win.status")"
  elif [[ $(cat "$work/win.status") != "$expect" ]]; then
    fail "$what: status $(cat "$work/win.status"), expected $expect"
    cat "$work/win.err"
  else
    passed=$((passed + 1))
  fi
}

expect_state() {
  local device=$1 key=$2 value=$3
  if [[ $(state "$device" "$key") == "$value" ]]; then
    passed=$((passed + 1))
  else
    fail "$device $key is $(state "$device" "$key"), expected $value"
  fi
}

same 0 search
same 0 search --json
same 0 info 192.168.50.21
same 0 info 192.168.60.22 --json
same 3 info 192.168.50.99
same 2 set-static 192.168.50.21 --ip 192.168.50.300 --netmask 255.255.255.0
same 2 bogus
same 0 set-names 192.168.50.21 --host-name NAS-NEW --workgroup HOME
expect_state nas1 name NAS-NEW
expect_state nas1 workgroup HOME
same 0 set-static 192.168.60.22 --ip 192.168.60.42 --netmask 255.255.255.0 --gateway 192.168.60.1
expect_state nas2 address 192.168.60.42
same 0 set-dhcp 192.168.50.25
expect_state nas5 dhcp True
same 1 set-dhcp 192.168.50.28 --password wrong
expect_state nas8 dhcp False
same 0 set-dhcp 192.168.50.28 --password hazel-secret
expect_state nas8 dhcp True

# The password file: only its owner may read it (Wine shows the Linux mode as the file's access
# list), and then its first line opens the device.
reset_devices
printf 'hazel-secret\r\n' >"$work/password"
chmod 644 "$work/password"
: >"$work/stdin"
windows set-dhcp 192.168.50.28 --password-file "$work/password"
if [[ $(cat "$work/win.status") == 2 ]] && grep -q 'may read it: only its owner may' "$work/win.err"; then
  passed=$((passed + 1))
else
  fail "a password file others may read: status $(cat "$work/win.status")"
  cat "$work/win.err"
fi
expect_state nas8 dhcp False
chmod 600 "$work/password"
windows set-dhcp 192.168.50.28 --password-file "$work/password"
[[ $(cat "$work/win.status") == 0 ]] && passed=$((passed + 1)) ||
  { fail "a password file of the owner alone: status $(cat "$work/win.status")"; cat "$work/win.err"; }
expect_state nas8 dhcp True

# Language support through Windows' network paths: Wine takes \\192.168.50.21\HDD_a from the
# prefix's dosdevices/unc folder, here a folder of the test's own. The files must arrive byte
# for byte as the Linux build embeds them.
reset_devices
mkdir -p "$work/share/.codepages" "$WINEPREFIX/dosdevices/unc/192.168.50.21"
ln -sfn "$work/share" "$WINEPREFIX/dosdevices/unc/192.168.50.21/HDD_a"
"$CORVANE_LINUX_CLI" payloads --extract "$work/payloads" >/dev/null
windows set-language 192.168.50.21 cyrillic --no-wait
written=0
for file in "$work/share/.codepages"/*; do
  cmp -s "$file" "$work/payloads/$(basename "$file")" && written=$((written + 1))
done
if [[ $(cat "$work/win.status") == 0 && $written == 5 ]]; then
  passed=$((passed + 1))
else
  fail "set-language: status $(cat "$work/win.status"), $written of 5 files as embedded"
  cat "$work/win.err"
fi
expect_state nas1 codepage 866
rm -f "$WINEPREFIX/dosdevices/unc/192.168.50.21/HDD_a"

# Mapped drives are Windows' own: none in a fresh prefix, and Wine has no network provider to map
# one with.
reset_devices
windows drives --json
if [[ $(cat "$work/win.status") == 0 && $(cat "$work/win.out") == "[]" ]]; then
  passed=$((passed + 1))
else
  fail "drives --json: status $(cat "$work/win.status"): $(cat "$work/win.out" "$work/win.err")"
fi

"${CORVANE_WINESERVER:-wineserver}" -k 2>/dev/null
echo "cli_lab_test.sh: $passed passed, $failed failed"
((failed == 0))
