#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Launch-to-first-paint of the window, and launch to the first search's list with the memory
then resident, warm (files in the page cache) and cold (page cache dropped before each launch,
root only). Runs the start-up probe in the current display session (X11 or Wayland) and
network: bench/run.sh starts it inside the lab under scripts/x11-session.sh and
scripts/wayland-session.sh.

Usage: startup_bench.py PROBE SESSION_NAME RUNS
"""
import os
import statistics
import subprocess
import sys
import time


def drop_page_cache():
    os.sync()
    with open("/proc/sys/vm/drop_caches", "w") as caches:
        caches.write("3\n")


def one_launch(probe):
    started = time.monotonic_ns()
    run = subprocess.run([probe], capture_output=True, text=True, timeout=60, check=False)
    lines = dict((fields[0], fields[1:]) for fields in
                 (line.split() for line in run.stdout.splitlines()) if fields)
    if "painted" not in lines or "listed" not in lines:
        raise RuntimeError(f"probe ended with {run.returncode}: {run.stdout}{run.stderr}")
    painted_ms = (int(lines["painted"][0]) - started) / 1e6
    listed_ms = (int(lines["listed"][0]) - started) / 1e6
    return painted_ms, listed_ms, int(lines["listed"][1]) / 1024


def main():
    probe, session, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
    kinds = ["warm", "cold"] if os.geteuid() == 0 else ["warm"]
    one_launch(probe)  # fills the page cache for the warm runs
    for kind in kinds:
        figures = []
        for _ in range(runs):
            if kind == "cold":
                drop_page_cache()
            figures.append(one_launch(probe))
        painted, listed, rss = zip(*figures)
        print(f"| {session:8} | {kind:4} | {statistics.median(painted):10.0f} | "
              f"{max(painted):10.0f} | {statistics.median(listed):10.0f} | "
              f"{statistics.median(rss):7.1f} |")


if __name__ == "__main__":
    main()
