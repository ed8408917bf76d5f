#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command as a client of a private headless Wayland compositor (weston), as in a Wayland
# desktop session without X: Qt programs use their wayland platform, and fail rather than fall
# back to X11 when it is missing. The compositor ends with the command; its exit status is kept.
#
#   scripts/wayland-session.sh COMMAND [ARGS...]
set -euo pipefail

work=$(mktemp -d)
chmod 700 "$work"
weston_pid=
cleanup() {
  local status=$?
  if [[ -n $weston_pid ]]; then kill "$weston_pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$work
export WAYLAND_DISPLAY=wayland-corvane
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --width=1280 --height=1024 \
  --idle-time=0 --no-config --use-pixman --debug >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
  [[ -S $work/$WAYLAND_DISPLAY ]] && break
  sleep 0.1
done
if [[ ! -S $work/$WAYLAND_DISPLAY ]]; then
  echo "wayland-session: weston did not start" >&2
  cat "$work/weston.log" >&2
  exit 1
fi

unset DISPLAY
export XDG_SESSION_TYPE=wayland
export QT_QPA_PLATFORM=wayland
# The headless back end has no seat, and Qt 6.4's Wayland text input reads the seat's without
# looking when a line edit draws its cursor: the session uses Qt's own compose input, as a
# desktop without an input method does.
export QT_IM_MODULE=compose
"$@"
