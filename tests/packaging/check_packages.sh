#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the two Debian packages from a build folder and checks them the way Debian's tools and a
# user meet them: lintian, the desktop entry and AppStream validators, the programs run from the
# unpacked packages (nothing of the source or build tree on hand), and the Depends fields.
#
#   check_packages.sh BUILD_DIR SOURCE_DIR VERSION APP_ID
set -euo pipefail

build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
version=$3
app_id=$4
work=$build/package-test
rm -rf "$work"
mkdir -p "$work"
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

echo "--- cpack"
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
arch=$(dpkg --print-architecture)
cli=$work/corvane_${version}_$arch.deb
gui=$work/corvane-gui_${version}_$arch.deb
for deb in "$cli" "$gui"; do
  [[ -f $deb ]] || { ls "$work"; echo "FAIL: no $deb"; exit 1; }
done

echo "--- lintian"
lintian --fail-on error,warning "$cli" "$gui" || fail "lintian"

echo "--- fields"
for deb in "$cli" "$gui"; do
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "$(basename "$deb"): Depends: $depends"
  # A development package at run time means a build-only library leaked into the binary.
  if grep -Eq '(^|[ ,|])[a-z0-9.+-]+-dev([ ,:(]|$)' <<<"$depends"; then
    fail "$(basename "$deb") depends on a development package"
  fi
done
grep -q 'libqt' <<<"$(dpkg-deb -f "$cli" Depends)" && fail "the command line package depends on Qt"
grep -Fq "corvane (= $version)" <<<"$(dpkg-deb -f "$gui" Depends)" ||
  fail "corvane-gui does not depend on corvane (= $version)"
[[ $(dpkg-parsechangelog -l "$source/packaging/changelog" -S Version) == "$version" ]] ||
  fail "packaging/changelog has no entry for $version"
metainfo_source=$source/packaging/$app_id.metainfo.xml
[[ $(grep -om1 '<release version="[^"]*"' "$metainfo_source") == "<release version=\"$version\"" ]] ||
  fail "the newest release in $app_id.metainfo.xml is not $version"

echo "--- unpacked"
root=$work/root
dpkg-deb -x "$cli" "$root"
dpkg-deb -x "$gui" "$root"
completions=$(pkg-config --variable=completionsdir bash-completion 2>/dev/null ||
  echo /usr/share/bash-completion/completions)
for path in usr/bin/corvane usr/bin/corvane-gui usr/share/man/man1/corvane.1.gz \
  usr/share/man/man1/corvane-gui.1.gz "${completions#/}/corvane" \
  "usr/share/applications/$app_id.desktop" "usr/share/metainfo/$app_id.metainfo.xml" \
  "usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
  "usr/share/icons/hicolor/48x48/apps/$app_id.png"; do
  [[ -e $root/$path ]] || fail "no /$path in the packages"
done
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" || fail "metainfo"

# The programs from the unpacked tree, started from elsewhere with a bare environment.
run() { (cd / && env -i PATH=/usr/bin:/bin HOME="$work" "$@"); }
[[ $(run "$root/usr/bin/corvane" --version) == "corvane $version" ]] || fail "corvane --version"
[[ $(run "$root/usr/bin/corvane" --help) == "Usage: corvane "* ]] || fail "corvane --help"
[[ $(run "$root/usr/bin/corvane-gui" --version) == "corvane-gui $version" ]] ||
  fail "corvane-gui --version"
# The window searches as soon as it starts, so it runs in a network namespace of its own; still
# running after a few seconds means it came up (libraries, platform plugin, resources).
if unshare --net true 2>/dev/null; then
  isolate=(unshare --net)
elif unshare --user --map-root-user --net true 2>/dev/null; then
  isolate=(unshare --user --map-root-user --net)
else
  isolate=()
fi
if ((${#isolate[@]} > 0)); then
  status=0
  install -d -m 700 "$work/runtime"
  run QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" timeout 5 "${isolate[@]}" \
    "$root/usr/bin/corvane-gui" >"$work/gui.log" 2>&1 || status=$?
  if ((status != 124)); then
    cat "$work/gui.log"
    fail "corvane-gui ended with status $status instead of running"
  fi
else
  echo "check_packages: no network namespace available: corvane-gui not started"
fi

((failures == 0)) && echo "packages OK: $(basename "$cli") $(basename "$gui")"
exit $((failures > 0))
