#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every build and test dependency on Debian 12. Idempotent: packages already present
# are not touched, and the package lists are only refreshed when something is missing.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ make pkg-config python3 clang-format
  # tests, benchmarks, fuzzing, sanitizers
  googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  # protocol tools and the virtual network lab
  nlohmann-json3-dev iproute2 procps util-linux
  # window
  qt6-base-dev fonts-liberation fonts-arphic-uming
  # translations: catalogues, Qt's own texts, fonts for Chinese, Japanese and Korean
  gettext qt6-translations-l10n fonts-wqy-microhei
  # the window on a real X server: server, window manager, input (tests labelled x11)
  xvfb xauth openbox xdotool
  # the window as a Wayland client (headless compositor), and read by a screen reader's bus
  weston qt6-wayland at-spi2-core python3-pyatspi
  # payload cross compilers and their optional check under emulation
  gcc-powerpc-linux-gnu gcc-arm-linux-gnueabi qemu-user
  # man pages, Debian packages and their checks
  scdoc bash-completion dpkg-dev file lintian desktop-file-utils appstream
  # shares and the web page: SMB client library, GIO and GVfs for drive letters, the opener
  libsmbclient-dev libglib2.0-dev libglib2.0-bin gvfs gvfs-backends gvfs-fuse fuse3 xdg-utils
  # the lab's file servers, and the private desktop sessions of tests and the demo
  samba dbus-daemon
  # the SMB client the language benchmark compares Corvane's copy with
  smbclient
  # the command line for Windows (`make windows`) and its tests under Wine
  g++-mingw-w64-x86-64-posix wine64
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "install-deps: missing packages: ${missing[*]}" >&2
  echo "install-deps: run as root (sudo) to install them" >&2
  exit 1
fi

# Samba is wanted only for the lab's own servers inside network namespaces: the system file
# server that its package would start (and enable) must not run.
fresh_samba=
[[ " ${missing[*]} " == *" samba "* ]] && fresh_samba=1
policy=/usr/sbin/policy-rc.d
if [[ -n $fresh_samba && ! -e $policy ]]; then
  printf '#!/bin/sh\nexit 101\n' >"$policy"
  chmod 755 "$policy"
  trap 'rm -f "$policy"' EXIT
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"

if [[ -n $fresh_samba && -d /run/systemd/system ]]; then
  systemctl disable --now smbd.service nmbd.service samba-ad-dc.service >/dev/null 2>&1 || true
fi
