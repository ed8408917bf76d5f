#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generates the payloads again in a fresh folder elsewhere and checks that every
file equals the build's own, byte for byte."""

import argparse
import filecmp
import os
import subprocess
import sys
import tempfile


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--generator", required=True)
    parser.add_argument("--reference", required=True, help="the build's payload folder")
    parser.add_argument("--ppc-cc", required=True)
    parser.add_argument("--arm-cc", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="corvane-reproduce-with-a-longer-path-") as temp:
        out = os.path.join(temp, "nested", "payloads")
        subprocess.run([sys.executable, args.generator, "--out", out, "--ppc-cc", args.ppc_cc,
                        "--arm-cc", args.arm_cc], check=True)
        failures = 0
        compared = 0
        for sub in ("files", "nls"):
            names = sorted(os.listdir(os.path.join(args.reference, sub)))
            if names != sorted(os.listdir(os.path.join(out, sub))):
                print(f"{sub}: the two runs made different sets of files")
                failures += 1
            for name in names:
                compared += 1
                if not filecmp.cmp(os.path.join(args.reference, sub, name),
                                   os.path.join(out, sub, name), shallow=False):
                    print(f"{sub}/{name} differs between build folders")
                    failures += 1
        print(f"compared {compared} files, {failures} differences")
        return 1 if failures or compared < 41 else 0


if __name__ == "__main__":
    sys.exit(main())
