#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command on a private X server (Xvfb) with a window manager (openbox), as on a desktop:
# windows are framed, activated and given the focus, and a closing pop-up exposes what it
# covered. The server and the window manager end with the command; its exit status is kept.
#
#   scripts/x11-session.sh COMMAND [ARGS...]
set -euo pipefail

work=$(mktemp -d)
xvfb_pid=
wm_pid=
cleanup() {
  local status=$?
  if [[ -n $wm_pid ]]; then kill "$wm_pid" 2>/dev/null || true; fi
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT

# Waits up to ten seconds for the file to appear with some content.
await() {
  for _ in $(seq 100); do
    [[ -s $1 ]] && return 0
    sleep 0.1
  done
  echo "x11-session: $2 did not start" >&2
  cat "$work"/*.log >&2 || true
  return 1
}

# Xvfb chooses a free display itself and writes its number once it takes connections, so that
# sessions started at the same time never race for one.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
await "$work/display" Xvfb
DISPLAY=:$(tr -d '[:space:]' <"$work/display")
export DISPLAY
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime

openbox --sm-disable --startup "sh -c 'echo ready >$work/wm'" >"$work/openbox.log" 2>&1 &
wm_pid=$!
await "$work/wm" openbox

"$@"
