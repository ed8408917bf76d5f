#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows build's tests under Wine, in a Wine prefix of their own that is removed again: the
# unit tests (with a folder the prefix maps as the network share \\corvane-test\share), then, as
# root, corvane.exe against the simulated devices of the lab, compared with the Linux build's
# corvane (tests/windows/cli_lab_test.sh).
# Usage: scripts/test-windows.sh [WINDOWS_BUILD [LINUX_BUILD]]
set -euo pipefail
cd "$(dirname "$0")/.."
windows_build=${1:-build-windows}
linux_build=${2:-build}

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
work=$(mktemp -d /tmp/corvane-wine.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

status=0
started=$(date +%s)
"$wine" wineboot --init >/dev/null 2>&1
# Wine takes \\SERVER\SHARE from dosdevices/unc/SERVER/SHARE.
mkdir -p "$work/share" "$WINEPREFIX/dosdevices/unc/corvane-test"
ln -s "$work/share" "$WINEPREFIX/dosdevices/unc/corvane-test/share"
export CORVANE_TEST_UNC='\\corvane-test\share'

echo "=== Windows unit tests under Wine ($windows_build)"
ctest --test-dir "$windows_build" -L windows --output-on-failure -j 2 || status=1
# The lab's prefix server must start inside the lab's network namespace.
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true

if [[ $(id -u) -ne 0 ]] && ! unshare --user --map-root-user --net true 2>/dev/null; then
  echo "test-windows: neither root nor user namespaces: skipping the lab tests of corvane.exe"
elif [[ ! -x $linux_build/src/cli/corvane ]]; then
  echo "test-windows: $linux_build/src/cli/corvane is missing: skipping the lab tests" >&2
  status=1
else
  echo "=== corvane.exe under Wine against the lab's devices"
  CORVANE_EXE=$windows_build/corvane.exe CORVANE_LINUX_CLI=$linux_build/src/cli/corvane \
    CORVANE_WINE=$wine CORVANE_WINESERVER=$wineserver \
    CORVANE_DEVSIM=$linux_build/tools/devsim/devsim \
    tools/lab/lab.sh run tools/lab/configs/standard.json -- bash tests/windows/cli_lab_test.sh ||
    status=1
fi
echo "test-windows: $(($(date +%s) - started)) s"
exit $status
