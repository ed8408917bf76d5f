#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# clang-format (the style of .clang-format) over every C and C++ source of the project.
#   scripts/format.sh           rewrites the files in place (`make format`)
#   scripts/format.sh --check   changes nothing; lists every file it would change, status 1
# Generated sources live in the build folders and are never looked at.
set -euo pipefail
cd "$(dirname "$0")/.."

patterns=('*.c' '*.h' '*.cc' '*.cpp' '*.hpp')
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- "${patterns[@]}")
else
  # An unpacked source archive: the folders that hold our sources.
  mapfile -t files < <(find bench fuzz resources src tests tools -type f \
    \( -name '*.c' -o -name '*.h' -o -name '*.cc' -o -name '*.cpp' -o -name '*.hpp' \) | sort)
fi

if ! command -v clang-format >/dev/null; then
  echo "format: clang-format is missing (scripts/install-deps.sh installs it)" >&2
  exit 2
fi

case ${1:-} in
  "")
    clang-format -i -- "${files[@]}"
    ;;
  --check)
    # One run over all files; each difference is reported as "FILE:LINE:COLUMN: error: ...".
    report=$(clang-format --dry-run --Werror -- "${files[@]}" 2>&1) && status=0 || status=$?
    mapfile -t failed < <(grep -oE '^[^:]+:[0-9]+:[0-9]+: error' <<<"$report" |
      sed -E 's/:[0-9]+:[0-9]+: error$//' | sort -u)
    if ((status != 0 && ${#failed[@]} == 0)); then
      echo "$report" >&2
      exit 1
    fi
    if ((${#failed[@]} > 0)); then
      echo "format: ${#failed[@]} file(s) differ from .clang-format (run 'make format'):" >&2
      printf '  %s\n' "${failed[@]}" >&2
      exit 1
    fi
    echo "format: ${#files[@]} files match .clang-format"
    ;;
  *)
    echo "usage: scripts/format.sh [--check]" >&2
    exit 2
    ;;
esac
