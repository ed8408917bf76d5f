#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the message template: every text marked for translation in the C++ sources (Tr, N_,
# NC_, TrN; see src/platform/translation.h), in the desktop entry and in the AppStream
# metainfo. Usage: po/extract.sh OUTPUT.pot   (make update-po writes po/corvane.pot)
set -euo pipefail
cd "$(dirname "$0")/.."
output=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Sorted, so that the template does not change with the order a file system lists files in.
find src -name '*.cpp' -o -name '*.h' | LC_ALL=C sort >"$work/sources"
common=(--force-po --from-code=UTF-8 --add-comments=TRANSLATORS: --add-location=file --sort-by-file
  --package-name=Corvane --msgid-bugs-address=developers@corvane.org --no-wrap)
xgettext "${common[@]}" --language=C++ --keyword= --keyword=Tr --keyword=N_ \
  --keyword=NC_:1c,2 --keyword=TrN:1,2 --files-from="$work/sources" -o "$work/code.pot"
xgettext "${common[@]}" --language=Desktop --keyword= --keyword=Name --keyword=GenericName \
  --keyword=Comment --keyword=Keywords packaging/org.corvane.Corvane.desktop \
  -o "$work/desktop.pot"
xgettext "${common[@]}" packaging/org.corvane.Corvane.metainfo.xml -o "$work/metainfo.pot"
msgcat --use-first --no-wrap --add-location=file "$work/code.pot" "$work/desktop.pot" \
  "$work/metainfo.pot" -o "$work/all.pot"
# No creation date: the template changes only when its texts do.
sed -e '/^"POT-Creation-Date:/d' "$work/all.pot" >"$output"
