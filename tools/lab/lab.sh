#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The virtual network lab: a PC and simulated storage devices, each in a network namespace of
# its own, joined by bridges in a "switch" namespace. The host's own network is never touched.
#
#   lab.sh up NAME CONFIG.json            build lab NAME, start one devsim per device
#   lab.sh exec NAME [--] CMD ...         run CMD in the PC namespace (status passed through)
#   lab.sh dev NAME DEVICE [--] CMD ...   run CMD in a device's namespace
#   lab.sh spawn NAME DEVICE [--] CMD ... start a daemon in a device's namespace (stopped by down)
#   lab.sh silence NAME DEVICE on|off     the device stops answering / answers again
#   lab.sh reset NAME [DEVICE ...]        devices (default: all) back to their configured state
#   lab.sh down NAME                      stop every process of the lab and delete it
#   lab.sh run CONFIG.json [--] CMD ...   up, exec CMD, down (always); status of CMD
#   lab.sh list                           labs that exist
#   lab.sh gc                             remove labs left by `run`s that were killed
#
# A device entry of the config may list further daemons to start in its namespace:
#   "start": [["python3", "-m", "http.server", "80"]]
# (output in devices/ID.d/COMMAND.out; they stop with the lab), and ask for real services:
# "samba" (file shares), "web" (a page on port 80), "stallPorts" (ports that never answer).
#
# Commands run by exec/dev/spawn/run see CORVANE_LAB (the name) and CORVANE_LAB_DIR (the state
# folder: lab.json, devices/ID.log, devices/ID.state.json). Device commands also see
# CORVANE_DEVICE and CORVANE_DEVICE_DIR (a folder for that device's daemons).
#
# Without root, `run` builds the lab inside a user namespace of its own (unshare).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
python=$(command -v /usr/bin/python3 || command -v python3)

if [[ $(id -u) -eq 0 ]]; then
  state_root=${CORVANE_LAB_ROOT:-/run/corvane-lab}
else
  state_root=${CORVANE_LAB_ROOT:-${TMPDIR:-/tmp}/corvane-lab-$(id -u)}
fi

say() { [[ -n ${CORVANE_LAB_QUIET:-} ]] || echo "lab: $*" >&2; }
die() {
  echo "lab: $*" >&2
  exit 2
}

lab_dir() { echo "$state_root/$1"; }

check_name() {
  [[ $1 =~ ^[A-Za-z0-9_-]{1,24}$ ]] || die "lab name must be 1-24 letters, digits, '_' or '-': '$1'"
}

need_lab() {
  check_name "$1"
  [[ -f $(lab_dir "$1")/prefix ]] || die "no lab named '$1' (see: lab.sh list)"
}

device_ns() {
  local dir
  dir=$(lab_dir "$1")
  [[ -f $dir/devices/$2.ns ]] || die "lab '$1' has no device '$2'"
  cat "$dir/devices/$2.ns"
}

# Every namespace of the lab is recorded as soon as it exists, so that a half-built lab can be
# taken down as well.
add_ns() {
  ip netns add "$1"
  echo "$1" >>"$dir/namespaces"
  # Replies from a device on a foreign subnet must not be dropped by reverse-path filtering;
  # IPv6 would only add chatter on the lab links.
  nsenter --net="/run/netns/$1" sysctl -qew net.ipv4.conf.all.rp_filter=0 \
    net.ipv4.conf.default.rp_filter=0 net.ipv6.conf.all.disable_ipv6=1 \
    net.ipv6.conf.default.disable_ipv6=1 >/dev/null
}

devsim_binary() {
  local binary=${CORVANE_DEVSIM:-$root/build/tools/devsim/devsim}
  [[ -x $binary ]] || die "devsim not found at $binary (build it, or set CORVANE_DEVSIM)"
  echo "$binary"
}

start_devsim() {
  local id=$1 ns=$2 devsim=$3
  ip netns exec "$ns" "$devsim" --config "$dir/lab.json" --device "$id" \
    --log "$dir/devices/$id.log" --state "$dir/devices/$id.state.json" \
    --ready "$dir/devices/$id.ready" </dev/null >>"$dir/devices/$id.out" 2>&1 &
  devsim_pids[$id]=$!
}

# Polls for every device's ready file; a devsim that died is reported with its output.
wait_ready() {
  local id deadline=$((SECONDS + ${CORVANE_LAB_READY_TIMEOUT:-20}))
  for id in "${!devsim_pids[@]}"; do
    until [[ -s $dir/devices/$id.ready ]]; do
      if ! kill -0 "${devsim_pids[$id]}" 2>/dev/null; then
        cat "$dir/devices/$id.out" >&2 || true
        die "devsim $id did not start"
      fi
      ((SECONDS < deadline)) || die "devsim $id not ready in time"
      sleep 0.01
    done
  done
}

# The "start" commands of the config: further daemons of a device (file or web servers),
# running in its namespace until the lab goes down.
start_services() {
  local name=$1 plan=$2 kind id ns rest
  local -a argv
  while read -r kind id ns rest; do
    [[ $kind == start ]] || continue
    # The resolver quoted each argument with shlex, which the shell reads back safely.
    eval "argv=($rest)"
    cmd_spawn "$name" "$id" -- "${argv[@]}" >/dev/null
  done <<<"$plan"
}

# The services' TCP ports: `up` returns once each one listens.
wait_listening() {
  local plan=$1 kind id ns port deadline=$((SECONDS + ${CORVANE_LAB_READY_TIMEOUT:-20}))
  while read -r kind id ns port; do
    [[ $kind == listen ]] || continue
    until [[ -n $(ip netns exec "$ns" ss -Hltn "sport = :$port") ]]; do
      if ((SECONDS >= deadline)); then
        tail -n 20 "$dir/devices/$id.d/"*.out >&2 2>/dev/null || true
        die "device $id: nothing listens on port $port"
      fi
      sleep 0.02
    done
  done <<<"$plan"
}

# A failed or interrupted `up` leaves nothing behind.
abandon_up() {
  [[ -n ${up_done:-} ]] && return
  CORVANE_LAB_QUIET=1 cmd_down "$1" >/dev/null 2>&1 || true
}

cmd_up() {
  (($# == 2)) || die "usage: lab.sh up NAME CONFIG.json"
  local name=$1 config=$2
  check_name "$name"
  [[ -f $config ]] || die "no config file $config"
  dir=$(lab_dir "$name")
  mkdir -p "$state_root"
  mkdir "$dir" 2>/dev/null || die "lab '$name' exists already (lab.sh down $name)"
  up_done=
  # Expanded now: the trap may run after this function's locals are gone.
  # shellcheck disable=SC2064
  trap "abandon_up $name" EXIT
  local prefix="cv-$name-"
  echo "$prefix" >"$dir/prefix"
  [[ -z ${CORVANE_LAB_OWNER:-} ]] || echo "$CORVANE_LAB_OWNER" >"$dir/owner"
  : >"$dir/namespaces"
  mkdir -p "$dir/devices"
  local plan devsim
  devsim=$(devsim_binary)
  plan=$("$python" "$here/resolve_config.py" "$config" "$prefix" "$dir/lab.json" "$dir" "$name")
  build_network "$prefix" "$plan"
  declare -gA devsim_pids=()
  local kind id ns rest
  while read -r kind id ns rest; do
    [[ $kind == device ]] || continue
    mkdir -p "$dir/devices/$id.d"
    start_devsim "$id" "$ns" "$devsim"
  done <<<"$plan"
  wait_ready
  start_services "$name" "$plan"
  wait_listening "$plan"
  up_done=1
  trap - EXIT
  say "lab '$name' is up: ${#devsim_pids[@]} devices, state in $dir"
}

# One `ip -batch` per namespace keeps the start-up quick. Each veth pair is made inside the
# switch namespace with its far end born in the target namespace, so nothing ever appears in
# the host's namespace.
build_network() {
  local plan=$2 sw="${1}sw" kind a b c d e ns
  local -A batch=([$sw]="link set lo up"$'\n')
  add_ns "$sw"
  while read -r kind a b c d e; do
    case $kind in
      bridge)
        batch[$sw]+="link add $a type bridge"$'\n'"link set $a up"$'\n'
        ;;
      pc | leg)
        if [[ $kind == pc && ! -f $dir/pc.ns ]]; then
          add_ns "$a"
          echo "$a" >"$dir/pc.ns"
        fi
        [[ -n ${batch[$a]:-} ]] || batch[$a]="link set lo up"$'\n'
        batch[$sw]+="link add $e type veth peer name $b netns $a"$'\n'
        batch[$sw]+="link set $e master $d up"$'\n'
        batch[$a]+="addr add $c dev $b"$'\n'"link set $b up"$'\n'
        ;;
      device)
        add_ns "$b"
        echo "$b" >"$dir/devices/$a.ns"
        ;;
    esac
  done <<<"$plan"
  ip -n "$sw" -batch - <<<"${batch[$sw]}"
  for ns in "${!batch[@]}"; do
    [[ $ns == "$sw" ]] || ip -n "$ns" -batch - <<<"${batch[$ns]}"
  done
}

cmd_down() {
  (($# == 1)) || die "usage: lab.sh down NAME"
  local name=$1 ns pids=() round
  check_name "$name"
  dir=$(lab_dir "$name")
  [[ -d $dir ]] || die "no lab named '$name'"
  local namespaces=()
  [[ -f $dir/namespaces ]] && mapfile -t namespaces <"$dir/namespaces"
  for round in TERM KILL; do
    pids=()
    for ns in "${namespaces[@]}"; do
      mapfile -t -O "${#pids[@]}" pids < <(ip netns pids "$ns" 2>/dev/null || true)
    done
    ((${#pids[@]})) || break
    kill -"$round" "${pids[@]}" 2>/dev/null || true
    [[ $round == KILL ]] && break
    # Up to two seconds for a clean exit before SIGKILL.
    local waited=0
    while ((waited < 200)) && any_alive "${pids[@]}"; do
      sleep 0.01
      waited=$((waited + 1))
    done
  done
  for ns in "${namespaces[@]}"; do
    ip netns del "$ns" 2>/dev/null || true
  done
  rm -rf "$dir"
  say "lab '$name' is down"
}

# A process that has exited but not been reaped yet (its parent, often init, reaps it later)
# counts as gone.
any_alive() {
  local pid stat
  for pid in "$@"; do
    stat=$(cat "/proc/$pid/stat" 2>/dev/null) || continue
    stat=${stat##*) }
    [[ ${stat:0:1} == Z ]] || return 0
  done
  return 1
}

lab_env() {
  echo "CORVANE_LAB=$1"
  echo "CORVANE_LAB_DIR=$(lab_dir "$1")"
}

cmd_exec() {
  (($# >= 1)) || die "usage: lab.sh exec NAME [--] CMD ..."
  local name=$1
  shift
  [[ ${1:-} == -- ]] && shift
  (($# >= 1)) || die "usage: lab.sh exec NAME [--] CMD ..."
  need_lab "$name"
  local -a env_vars
  mapfile -t env_vars < <(lab_env "$name")
  exec ip netns exec "$(cat "$(lab_dir "$name")/pc.ns")" env "${env_vars[@]}" "$@"
}

device_env() {
  lab_env "$1"
  echo "CORVANE_DEVICE=$2"
  echo "CORVANE_DEVICE_DIR=$(lab_dir "$1")/devices/$2.d"
}

cmd_dev() {
  (($# >= 2)) || die "usage: lab.sh dev NAME DEVICE [--] CMD ..."
  local name=$1 device=$2
  shift 2
  [[ ${1:-} == -- ]] && shift
  (($# >= 1)) || die "usage: lab.sh dev NAME DEVICE [--] CMD ..."
  need_lab "$name"
  local ns env_vars
  ns=$(device_ns "$name" "$device")
  mapfile -t env_vars < <(device_env "$name" "$device")
  exec ip netns exec "$ns" env "${env_vars[@]}" "$@"
}

cmd_spawn() {
  (($# >= 2)) || die "usage: lab.sh spawn NAME DEVICE [--] CMD ..."
  local name=$1 device=$2
  shift 2
  [[ ${1:-} == -- ]] && shift
  (($# >= 1)) || die "usage: lab.sh spawn NAME DEVICE [--] CMD ..."
  need_lab "$name"
  local ns env_vars out
  ns=$(device_ns "$name" "$device")
  mapfile -t env_vars < <(device_env "$name" "$device")
  out="$(lab_dir "$name")/devices/$device.d/$(basename "$1").out"
  # A session of its own: daemons that signal their process group then hit only themselves.
  ip netns exec "$ns" setsid env "${env_vars[@]}" "$@" </dev/null >>"$out" 2>&1 &
  echo $!
}

cmd_silence() {
  (($# == 3)) || die "usage: lab.sh silence NAME DEVICE on|off"
  local name=$1 device=$2 mode=$3 signal want
  need_lab "$name"
  device_ns "$name" "$device" >/dev/null
  case $mode in
    on) signal=USR1 want=true ;;
    off) signal=USR2 want=false ;;
    *) die "silence takes on or off" ;;
  esac
  dir=$(lab_dir "$name")
  kill -"$signal" "$(cat "$dir/devices/$device.ready")"
  # Return only once the device has taken it in, so the caller's next request sees it.
  local state="$dir/devices/$device.state.json" deadline=$((SECONDS + 5))
  until grep -q "\"silent\": $want" "$state"; do
    ((SECONDS < deadline)) || die "device $device did not confirm silence $mode"
    sleep 0.01
  done
}

# How often the device has been reset, from its state file, into REPLY. Builtins only, no
# subshell: a test's tear-down resets the whole lab after every test, so this runs often.
resets_of() {
  local text=""
  read -r -d '' text <"$1" || true
  REPLY=0
  [[ $text =~ \"resets\":\ ([0-9]+) ]] && REPLY=${BASH_REMATCH[1]}
  return 0
}

cmd_reset() {
  (($# >= 1)) || die "usage: lab.sh reset NAME [DEVICE ...]"
  local name=$1 device ready pid dir
  shift
  need_lab "$name"
  dir=$(lab_dir "$name")
  local -a devices=("$@")
  if ((${#devices[@]} == 0)); then
    for ready in "$dir"/devices/*.ready; do
      [[ -f $ready ]] || continue
      ready=${ready##*/}
      devices+=("${ready%.ready}")
    done
  fi
  local -A before=()
  for device in "${devices[@]}"; do
    [[ -f $dir/devices/$device.ready ]] || die "lab '$name' has no device '$device'"
    resets_of "$dir/devices/$device.state.json"
    before[$device]=$REPLY
    read -r pid <"$dir/devices/$device.ready"
    kill -HUP "$pid"
  done
  # Return only once every device has taken it in, so the caller's next request sees it.
  local deadline=$((SECONDS + 5))
  for device in "${devices[@]}"; do
    while resets_of "$dir/devices/$device.state.json" && ((REPLY <= before[$device])); do
      ((SECONDS < deadline)) || die "device $device did not confirm the reset"
      sleep 0.01
    done
  done
}

cmd_list() {
  local entry
  for entry in "$state_root"/*/prefix; do
    [[ -f $entry ]] && basename "$(dirname "$entry")"
  done
  return 0
}

# Labs of `run`s whose process is gone (killed with SIGKILL, e.g. by a test timeout).
cmd_gc() {
  local entry owner name
  for entry in "$state_root"/*/owner; do
    [[ -f $entry ]] || continue
    owner=$(cat "$entry")
    name=$(basename "$(dirname "$entry")")
    if ! kill -0 "$owner" 2>/dev/null; then
      say "removing abandoned lab '$name'"
      CORVANE_LAB_QUIET=1 cmd_down "$name" || true
    fi
  done
}

cmd_run() {
  (($# >= 2)) || die "usage: lab.sh run CONFIG.json [--] CMD ..."
  local config=$1
  shift
  [[ ${1:-} == -- ]] && shift
  (($# >= 1)) || die "usage: lab.sh run CONFIG.json [--] CMD ..."
  if [[ $(id -u) -ne 0 && -z ${CORVANE_LAB_IN_USERNS:-} ]]; then
    run_in_user_namespace "$config" -- "$@"
  fi
  cmd_gc
  local name="r$$-$RANDOM"
  trap 'exit 130' INT
  trap 'exit 143' TERM
  CORVANE_LAB_QUIET=${CORVANE_LAB_QUIET:-1} CORVANE_LAB_OWNER=$$ cmd_up "$name" "$config"
  # shellcheck disable=SC2064
  trap "CORVANE_LAB_QUIET=1 cmd_down $name >/dev/null 2>&1 || true" EXIT
  local -a env_vars
  mapfile -t env_vars < <(lab_env "$name")
  # In the background with an explicit stdin, so that a signal reaches our trap at once while
  # the command still reads the terminal.
  ip netns exec "$(cat "$(lab_dir "$name")/pc.ns")" env "${env_vars[@]}" "$@" <&0 &
  local status=0
  wait $! || status=$?
  exit $status
}

# Without root: a user namespace in which we are root, with a private network namespace and a
# private /run for `ip netns`. The lab lives exactly as long as this one command.
run_in_user_namespace() {
  command -v unshare >/dev/null || die "not root and no unshare: cannot build a lab"
  # No --fork: the lab's own shell stays the process that receives signals and cleans up.
  exec unshare --user --map-root-user --net --mount -- \
    env CORVANE_LAB_IN_USERNS=1 bash "$here/userns-run.sh" "$here/lab.sh" "$@"
}

main() {
  (($# >= 1)) || die "usage: lab.sh up|exec|dev|spawn|silence|reset|down|run|list|gc ..."
  local command=$1
  shift
  case $command in
    up) cmd_up "$@" ;;
    down) cmd_down "$@" ;;
    exec) cmd_exec "$@" ;;
    dev) cmd_dev "$@" ;;
    spawn) cmd_spawn "$@" ;;
    silence) cmd_silence "$@" ;;
    reset) cmd_reset "$@" ;;
    run) cmd_run "$@" ;;
    list) cmd_list ;;
    gc) cmd_gc ;;
    *) die "unknown command '$command'" ;;
  esac
}

main "$@"
