#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Second half of `lab.sh run` without root: started by lab.sh inside a new user, network and
# mount namespace where we are root. `ip netns` keeps its namespaces under /run/netns, so this
# private mount namespace gets a /run of its own (with the user's runtime folders kept), then
# the lab is built as usual. Everything it made dies with the namespaces.
set -euo pipefail

lab_sh=$1
shift

mount --make-rprivate /
keep=$(mktemp -d)
if [[ -d /run/user ]]; then
  mount --rbind /run/user "$keep"
fi
mount -t tmpfs -o mode=0755 tmpfs /run
mkdir -p /run/netns /run/user
if mountpoint -q "$keep"; then
  mount --move "$keep" /run/user
fi
rmdir "$keep" 2>/dev/null || true

exec bash "$lab_sh" run "$@"
