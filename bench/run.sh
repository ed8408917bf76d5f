#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Protocol timings against 1, 8 and 32 simulated devices, then the search against PCs with 1, 2,
# 4 and 8 interfaces, then the largest language installation and its copy beside smbclient's on
# a real Samba share, then how long an installation takes to give up on a file server that does
# not answer, then the window's start under X11 and Wayland; each set in a lab of its own.
# Usage: bench/run.sh BUILD_DIR   (needs root for the lab)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
bench=$build/bench/protocol_bench
order_bench=$build/bench/search_order_bench
language_bench=$build/bench/language_bench
give_up_bench=$build/bench/give_up_bench
export CORVANE_DEVSIM=${CORVANE_DEVSIM:-$build/tools/devsim/devsim}
export CORVANE_LAB_QUIET=1

startup_probe=$build/bench/startup_probe
for binary in "$bench" "$order_bench" "$language_bench" "$give_up_bench" "$startup_probe"; do
  [[ -x $binary ]] || { echo "bench: $binary not built" >&2; exit 2; }
done
[[ $(id -u) -eq 0 ]] || echo "bench: not root; the lab will try a user namespace" >&2

echo "Device search (3 runs) and a click in the device list (ReadWorkgroup + ReadShareList,"
echo "once per device found); wall time in ms."
echo
printf '| %-8s | %10s | %6s | %10s | %10s | %10s | %10s | %8s |\n' devices interfaces found \
  "search med" "search max" "click med" "click max" failures
echo "|----------|------------|--------|------------|------------|------------|------------|----------|"
status=0
for n in 1 8 32; do
  tools/lab/lab.sh run "tools/lab/configs/bench-$n.json" -- "$PWD/$bench" "$n" 3 || status=1
done

echo
echo "Search with 8 devices spread over the PC's interfaces: served on every interface at once"
echo "against one interface after another (5 runs each, in turns, same sockets); wall time in ms."
echo
printf '| %-10s | %8s | %10s | %12s | %12s | %14s | %8s | %11s |\n' interfaces found \
  "found 1x1" "together med" "together max" "one-by-one med" speed-up mismatches
echo "|------------|----------|------------|--------------|--------------|----------------|----------|-------------|"
for n in 1 2 4 8; do
  tools/lab/lab.sh run "tools/lab/configs/bench-interfaces-$n.json" -- "$PWD/$order_bench" "$n" 5 ||
    status=1
done

echo
echo "Language installation with the most files, on a device with a real Samba share (10 runs)."
echo
tools/lab/lab.sh run tools/lab/configs/bench-language.json -- tools/lab/session.sh \
  "$PWD/$language_bench" 192.168.50.41 10 || status=1

echo
echo "A language installation that cannot reach the device's file server: time until the device"
echo "is sent \"stop\" (3 runs each)."
echo
tools/lab/lab.sh run tools/lab/configs/bench-give-up.json -- tools/lab/session.sh \
  "$PWD/$give_up_bench" 192.168.50.51 192.168.50.99 3 || status=1
echo
echo "The window's start with 8 devices on the network: launch to its first paint, launch to the"
echo "first search's list, and the memory resident then; warm and (as root) with the page cache"
echo "dropped before each launch; median of 5, in ms and MB."
echo
printf '| %-8s | %-4s | %10s | %10s | %10s | %7s |\n' session kind "paint med" "paint max" \
  "listed med" "RSS MB"
echo "|----------|------|------------|------------|------------|---------|"
for session in x11 wayland; do
  tools/lab/lab.sh run tools/lab/configs/bench-8.json -- tools/lab/session.sh \
    "scripts/$session-session.sh" python3 bench/startup_bench.py "$PWD/$startup_probe" "$session" 5 ||
    status=1
done
exit $status
