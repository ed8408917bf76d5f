#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the main window (with the simulated devices of the demo lab listed) and the dialogs it
# opens to docs/screenshots/*.png. Needs root for the lab (or runs it in a user namespace).
#
#   scripts/screenshots.sh BUILD_DIR [OUTPUT_DIR]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:?usage: scripts/screenshots.sh BUILD_DIR [OUTPUT_DIR]}
build=$(cd "$build" && pwd)
output=${2:-$root/docs/screenshots}
mkdir -p "$output"
output=$(cd "$output" && pwd)

cmake --build "$build" --target app_screenshots devsim -j2

# Offscreen rendering is pixel-identical to a real X server with this style, and needs none.
CORVANE_DEVSIM="$build/tools/devsim/devsim" \
  "$root/tools/lab/lab.sh" run "$root/tools/lab/configs/demo.json" -- \
  env QT_QPA_PLATFORM=offscreen "$build/tests/app/app_screenshots" "$output"
echo "screenshots in $output"
