#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A desktop session of its own for tests and the demo: a private home, XDG folders, a runtime
# folder (mode 0700) and a D-Bus session bus, in which GVfs starts on demand and mounts shares
# as in a user's login session, and goes away with the bus.
#
#   session.sh [--] CMD ...      runs CMD in the session; exit status passed through
#
# The SMB client configuration of the session (~/.smb/smb.conf, read by libsmbclient and by
# GVfs alike) keeps NetBIOS name look-ups on this network namespace's own links and speaks SMB1
# too. CORVANE_SESSION_KEEP=1 keeps the session's folder for a look afterwards.
set -euo pipefail

[[ ${1:-} == -- ]] && shift
(($# >= 1)) || {
  echo "usage: session.sh [--] CMD ..." >&2
  exit 2
}
command -v dbus-run-session >/dev/null || {
  echo "session: dbus-run-session is missing (Debian package dbus-bin)" >&2
  exit 2
}

root=$(mktemp -d "${TMPDIR:-/tmp}/corvane-session.XXXXXX")
chmod 0700 "$root"
cleanup() {
  # GVfs leaves with the bus; should its FUSE folder still be mounted, it must be unmounted
  # before anything is removed, or the removal would reach through it onto the shares.
  if mountpoint -q "$root/run/gvfs" 2>/dev/null; then
    fusermount3 -u -z "$root/run/gvfs" 2>/dev/null || umount -l "$root/run/gvfs" 2>/dev/null || true
  fi
  [[ -n ${CORVANE_SESSION_KEEP:-} ]] || rm -rf --one-file-system "$root"
}
trap cleanup EXIT

mkdir -p "$root/home/.smb" "$root/home/.config" "$root/home/.local/share" \
  "$root/home/.local/state" "$root/home/.cache" "$root/run"
chmod 0700 "$root/run"

# The links of this namespace that can carry NetBIOS broadcasts.
interfaces=$(ip -o -4 addr show scope global | awk '{print $2}' | sort -u | paste -sd' ')
{
  echo "[global]"
  [[ -n $interfaces ]] && echo "  interfaces = $interfaces" && echo "  bind interfaces only = yes"
  echo "  name resolve order = lmhosts wins bcast"
  echo "  client min protocol = NT1"
} >"$root/home/.smb/smb.conf"

export HOME="$root/home"
export XDG_CONFIG_HOME="$root/home/.config"
export XDG_DATA_HOME="$root/home/.local/share"
export XDG_STATE_HOME="$root/home/.local/state"
export XDG_CACHE_HOME="$root/home/.cache"
export XDG_RUNTIME_DIR="$root/run"
export GVFS_REMOTE_VOLUME_MONITOR_IGNORE=1
export CORVANE_SESSION_DIR="$root"
unset DBUS_SESSION_BUS_ADDRESS

status=0
dbus-run-session -- "$@" || status=$?
exit $status
