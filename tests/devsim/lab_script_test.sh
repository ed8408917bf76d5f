#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The commands below expand their variables inside the lab, not here.
# shellcheck disable=SC2016
# lab.sh itself: exit statuses, cleanup after failure, signals and killed runs, and that the
# host's own network namespace never changes. Needs root; CORVANE_DEVSIM names the device.
set -uo pipefail

lab=${1:?usage: lab_script_test.sh LAB_SH}
if [[ $(id -u) -ne 0 ]]; then
  echo "skipped: named labs need root"
  exit 77
fi
configs=$(cd "$(dirname "$lab")/configs" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

host_links() { ip -o link show | awk -F': ' '{print $2}' | sort; }
lab_namespaces() { ip netns list | awk '{print $1}' | grep -c "^cv-$1-" || true; }
state_dir() { echo "/run/corvane-lab/$1"; }

# Waits (bounded) for a file to appear; the bound only stops a broken run.
wait_for() {
  local i
  for ((i = 0; i < 1000; i++)); do
    [[ -s $1 ]] && return 0
    sleep 0.01
  done
  return 1
}

before=$(host_links)

echo "--- run passes the command's status through and leaves nothing behind"
status=0
"$lab" run "$configs/demo.json" -- sh -c 'echo "$CORVANE_LAB" >"$0"; ip -br addr >"$0.addr"; exit 7' \
  "$scratch/name" || status=$?
[[ $status -eq 7 ]] || fail "run returned $status, not 7"
name=$(cat "$scratch/name")
[[ -n $name ]] || fail "CORVANE_LAB not set inside"
grep -q "^lan1@.*192.168.50.10/24" "$scratch/name.addr" || fail "lan1 missing: $(cat "$scratch/name.addr")"
grep -q "^lan2@.*192.168.60.10/24" "$scratch/name.addr" || fail "lan2 missing"
[[ $(lab_namespaces "$name") -eq 0 ]] || fail "namespaces of $name left behind"
[[ ! -e $(state_dir "$name") ]] || fail "state of $name left behind"

echo "--- a signal ends the run and still removes the lab"
"$lab" run "$configs/demo.json" -- sh -c 'echo "$CORVANE_LAB" >"$0"; exec sleep 600' "$scratch/signal" &
runner=$!
wait_for "$scratch/signal" || fail "run never started"
name=$(cat "$scratch/signal")
kill -TERM "$runner"
status=0
wait "$runner" || status=$?
[[ $status -eq 143 ]] || fail "signalled run returned $status, not 143"
[[ $(lab_namespaces "$name") -eq 0 ]] || fail "namespaces of signalled $name left behind"

echo "--- a run killed outright is collected by gc"
"$lab" run "$configs/demo.json" -- sh -c 'echo "$CORVANE_LAB" >"$0"; exec sleep 600' "$scratch/killed" &
runner=$!
wait_for "$scratch/killed" || fail "run never started"
name=$(cat "$scratch/killed")
ns_pids=$(ip netns pids "cv-$name-pc")
kill -KILL "$runner"
wait "$runner" 2>/dev/null
[[ $(lab_namespaces "$name") -gt 0 ]] || fail "lab vanished before gc"
"$lab" gc
[[ $(lab_namespaces "$name") -eq 0 ]] || fail "gc left namespaces of $name"
for pid in $ns_pids; do
  if [[ -e /proc/$pid && $(awk '{print $3}' "/proc/$pid/stat") != Z ]]; then
    fail "process $pid of the killed lab still runs"
  fi
done

echo "--- a failed up removes what it built"
name="t$$"
echo '{"pc": {"interfaces": [{"name": "lan1", "address": "192.168.50.10/24"}]},
       "devices": [{"id": "good", "legs": [{"address": "192.168.50.2/24"}]},
                   {"id": "bad", "legs": [{"address": "192.168.50.300/24"}]}]}' >"$scratch/bad.json"
"$lab" up "$name" "$scratch/bad.json" 2>"$scratch/err" && fail "up accepted a bad address"
grep -q "bad address" "$scratch/err" || fail "no reason given: $(cat "$scratch/err")"
[[ ! -e $(state_dir "$name") && $(lab_namespaces "$name") -eq 0 ]] || fail "bad config left a lab"
CORVANE_DEVSIM=/bin/false "$lab" up "$name" "$configs/demo.json" 2>"$scratch/err" &&
  fail "up succeeded although no device started"
grep -q "did not start" "$scratch/err" || fail "dead device not reported: $(cat "$scratch/err")"
[[ ! -e $(state_dir "$name") && $(lab_namespaces "$name") -eq 0 ]] || fail "dead device left a lab"

echo "--- a named lab: exec, dev, spawn, silence, down"
CORVANE_LAB_QUIET=1 "$lab" up "$name" "$configs/demo.json" || fail "up failed"
"$lab" up "$name" "$configs/demo.json" 2>/dev/null && fail "a second lab with the same name"
status=0
"$lab" exec "$name" -- sh -c 'exit 5' || status=$?
[[ $status -eq 5 ]] || fail "exec returned $status, not 5"
"$lab" dev "$name" office -- ip -br addr | grep -q "^eth0@.*192.168.60.32/24" || fail "dev ran elsewhere"
"$lab" dev "$name" office -- sh -c '[ -d "$CORVANE_DEVICE_DIR" ] && [ "$CORVANE_DEVICE" = office ]' ||
  fail "device environment"
daemon=$("$lab" spawn "$name" office -- sleep 600)
[[ $(ip netns identify "$daemon") == "cv-$name-d-office" ]] || fail "spawned daemon not in the device"
"$lab" silence "$name" office on || fail "silence on"
grep -q '"silent": true' "$(state_dir "$name")/devices/office.state.json" || fail "not silent"
"$lab" silence "$name" office off || fail "silence off"
"$lab" silence "$name" nobody on 2>/dev/null && fail "silence of an unknown device"
devsim=$(cat "$(state_dir "$name")/devices/office.ready")
CORVANE_LAB_QUIET=1 "$lab" down "$name" || fail "down failed"
for pid in $daemon $devsim; do
  if [[ -e /proc/$pid && $(awk '{print $3}' "/proc/$pid/stat") != Z ]]; then
    fail "process $pid survived down"
  fi
done
[[ ! -e $(state_dir "$name") && $(lab_namespaces "$name") -eq 0 ]] || fail "down left a lab"
"$lab" exec "$name" -- true 2>/dev/null && fail "exec in a lab that is down"

echo "--- daemons listed under start run in their device until down"
cat >"$scratch/start.json" <<'JSON'
{"pc": {"interfaces": [{"name": "lan1", "address": "192.168.50.10/24"}]},
 "devices": [{"id": "solo", "legs": [{"address": "192.168.50.2/24"}],
              "start": [["sh", "-c", "echo \"$CORVANE_DEVICE it's up\" >\"$CORVANE_DEVICE_DIR/hello\"; exec sleep 600"]]}]}
JSON
CORVANE_LAB_QUIET=1 "$lab" up "$name" "$scratch/start.json" || fail "up with start failed"
wait_for "$(state_dir "$name")/devices/solo.d/hello" || fail "start command did not run"
[[ $(cat "$(state_dir "$name")/devices/solo.d/hello") == "solo it's up" ]] || fail "start arguments mangled"
service=$(ip netns pids "cv-$name-d-solo" | while read -r pid; do
  [[ $(cat "/proc/$pid/comm") == sleep ]] && echo "$pid"
done)
[[ -n $service ]] || fail "started daemon not in the device's namespace"
CORVANE_LAB_QUIET=1 "$lab" down "$name" || fail "down failed"
if [[ -n $service && -e /proc/$service && $(awk '{print $3}' "/proc/$service/stat") != Z ]]; then
  fail "started daemon survived down"
fi

[[ $(host_links) == "$before" ]] || fail "the host's links changed"

if ((failures > 0)); then
  echo "$failures failure(s)"
  exit 1
fi
echo "all passed"
