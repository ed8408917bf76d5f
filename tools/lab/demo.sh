#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Shows Corvane at work without any real storage device: builds a private virtual network with
# three simulated devices, runs a device search in it, and removes the network again.
#
#   demo.sh BUILD_DIR [COMMAND ...]
#
# COMMAND (default: `corvane search` and `corvane info` of one device) runs on the simulated PC.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
shift || true
config="$here/configs/demo.json"

step() { printf '\n== %s\n' "$*"; }

export CORVANE_DEVSIM="$build/tools/devsim/devsim"
if [[ ! -x $CORVANE_DEVSIM ]]; then
  echo "demo: $CORVANE_DEVSIM is missing; build first (make build)" >&2
  exit 1
fi
if (($# == 0)); then
  cli="$build/src/cli/corvane"
  if [[ ! -x $cli ]]; then
    echo "demo: $cli is missing; build first (make build)" >&2
    exit 1
  fi
  # A search, then a closer look at one of the devices it found ($0 is the binary).
  # shellcheck disable=SC2016
  set -- bash -c 'echo "\$ corvane search"; "$0" search || exit
                  echo; echo "\$ corvane info 192.168.50.31"; "$0" info 192.168.50.31' "$cli"
  shown="corvane search, then corvane info"
fi

step "Building a private virtual network (nothing on this machine's own network changes)"
cat <<'EOF'
   The simulated PC has two network cards:
     lan1  192.168.50.10/24
     lan2  192.168.60.10/24
   Three simulated storage devices answer on UDP port 13579, group 224.0.0.1:
     LIVING-ROOM   192.168.50.31  on lan1's network, answers to the group
     MEDIA-BOX     192.168.50.33  on lan1's network, answers in the extended form
     OFFICE-STORE  192.168.60.32  on lan2's network, answers straight to the PC (DHCP client)
   Each lives in a network namespace of its own; the lab is removed again at the end.
EOF
if [[ $(id -u) -ne 0 ]]; then
  echo "   (not root: the lab is built inside a user namespace)"
fi

step "Running on the simulated PC: ${shown:-$*}"
status=0
"$here/lab.sh" run "$config" -- "$@" || status=$?

step "Done (exit status $status); the virtual network has been removed"
exit $status
