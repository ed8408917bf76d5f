#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when the program imports a DLL that is not part of Windows itself.
set -euo pipefail
windows_own='^(advapi32|bcrypt|iphlpapi|kernel32|mpr|msvcrt|ole32|shell32|shlwapi|ws2_32|user32)\.dll$'
imports=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[[ -n $imports ]] || { echo "no imports read from $1"; exit 1; }
status=0
for dll in $imports; do
  if [[ ! $dll =~ $windows_own ]]; then
    echo "$1 imports $dll, which Windows does not ship"
    status=1
  fi
done
exit $status
