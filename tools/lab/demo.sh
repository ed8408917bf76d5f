#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Shows Corvane at work without any real storage device: builds a private virtual network with
# three simulated devices, opens the Corvane window in it, and removes the network again when
# the window is closed.
#
#   demo.sh BUILD_DIR [COMMAND ...]
#
# COMMAND (default: the window, corvane-gui) runs on the simulated PC; for the command line
# tool instead: demo.sh BUILD_DIR BUILD_DIR/src/cli/corvane search
#
# The window appears on the invoking user's display (DISPLAY and XAUTHORITY, or WAYLAND_DISPLAY
# and XDG_RUNTIME_DIR; under sudo it runs as SUDO_USER again). With no display it runs under
# Xvfb and its screenshots are saved.
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
  gui="$build/src/app/corvane-gui"
  if [[ ! -x $gui ]]; then
    echo "demo: $gui is missing; build first (make build)" >&2
    exit 1
  fi
  # The window runs as the invoking user, on that user's display. Only a local display can be
  # reached from inside the simulated PC, through its socket file (/tmp/.X11-unix, or the
  # Wayland socket in the user's runtime folder); a TCP display such as ssh's cannot.
  user=${SUDO_USER:-$(id -un)}
  runtime=${XDG_RUNTIME_DIR:-/run/user/$(id -u "$user")}
  wayland=${WAYLAND_DISPLAY:-wayland-0}
  window_env=()
  if [[ ${DISPLAY:-} =~ ^:[0-9]+(\.[0-9]+)?$ ]]; then
    window_env=("DISPLAY=$DISPLAY")
    xauthority=${XAUTHORITY:-$(getent passwd "$user" | cut -d: -f6)/.Xauthority}
    [[ -r $xauthority ]] && window_env+=("XAUTHORITY=$xauthority")
    where="display $DISPLAY"
  elif [[ -S $runtime/$wayland ]] && compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland*" >/dev/null; then
    # Absolute: the window's desktop session has a runtime folder of its own.
    window_env=("WAYLAND_DISPLAY=$runtime/$wayland" QT_QPA_PLATFORM=wayland)
    where="Wayland display $wayland"
  fi
  if ((${#window_env[@]} > 0)); then
    # A desktop session inside the simulated network (session bus, GVfs), so that the window
    # can mount the devices' shares; the user's own session cannot reach them.
    session=("$here/session.sh" "$gui")
    if [[ $(id -u) -eq 0 && $user != root ]]; then
      set -- runuser -u "$user" -- env "${window_env[@]}" "${session[@]}"
    else
      set -- env "${window_env[@]}" "${session[@]}"
    fi
    shown="the Corvane window on $where (close it to end the demo)"
  else
    shots="$build/demo-screenshots"
    shooter="$build/tests/app/app_screenshots"
    if [[ ! -x $shooter ]]; then
      echo "demo: no local display, and $shooter is missing to run the window under Xvfb" >&2
      exit 1
    fi
    # Nobody can see that window, so the command line tool shows the same search on the console.
    # shellcheck disable=SC2016
    set -- bash -c 'xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
                      env QT_QPA_PLATFORM=xcb "$0" "$1" || exit
                    echo; echo "\$ corvane search"; "$2" search' \
      "$shooter" "$shots" "$build/src/cli/corvane"
    shown="the Corvane window under Xvfb (no local display), screenshots to $shots"
  fi
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
   Each serves its shares over SMB (Samba; guests welcome, and the share "private" for user
   labuser, password lab-secret) and a web page on port 80. Each lives in a network namespace
   of its own; the lab is removed again at the end.
EOF
if [[ $(id -u) -ne 0 ]]; then
  echo "   (not root: the lab is built inside a user namespace)"
fi

step "Running on the simulated PC: ${shown:-$*}"
status=0
"$here/lab.sh" run "$config" -- "$@" || status=$?

step "Done (exit status $status); the virtual network has been removed"
exit $status
