#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The catalogues against the code, the way a linter would check them.

  check_catalogues.py SOURCE_DIR

Fails when po/corvane.pot is not what po/extract.sh makes of the code today (a text was
marked, changed or removed without `make update-po`); when a language of po/LINGUAS lacks a
text, has one empty or fuzzy, or fails msgfmt --check; and when the code holds a literal that
reads as words for a person yet is neither marked for translation nor listed in
po/not-translated with the reason it stays English.
"""
import re
import subprocess
import sys
import tempfile
from pathlib import Path


def run(*args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, **kwargs)


def messages(pot, with_parts=False):
    """(context, msgid) of every entry but the header; with_parts adds each entry's context
    and plural as entries of their own (they are marked text too)."""
    listed = run("msgattrib", "--no-location", "--no-wrap", "--sort-output", str(pot))
    if listed.returncode != 0:
        sys.exit(listed.stderr)
    found, context, key, field = set(), None, None, None
    for line in listed.stdout.splitlines() + [""]:
        if line.startswith("msgctxt "):
            context, field = line[8:], "ctx"
        elif line.startswith("msgid_plural ") and with_parts:
            found.add((None, line[13:]))
            field = None
        elif line.startswith("msgid "):
            key, field = line[6:], "id"
        elif line.startswith('"') and field == "id":
            key += line
        elif line.startswith('"') and field == "ctx":
            context += line
        elif not line.strip() or line.startswith("msgstr"):
            if key is not None and key != '""':
                found.add((context, key))
                if with_parts and context is not None:
                    found.add((None, context))
            if not line.strip():
                context, key = None, None
            field = None
    return found


def check_template(source, work, problems):
    fresh = work / "fresh.pot"
    made = run("bash", str(source / "po/extract.sh"), str(fresh))
    if made.returncode != 0:
        sys.exit(made.stderr)
    in_tree, in_code = messages(source / "po/corvane.pot"), messages(fresh)
    for context, key in sorted(in_code - in_tree, key=str):
        problems.append(f"marked in the code, missing from po/corvane.pot: {key}")
    for context, key in sorted(in_tree - in_code, key=str):
        problems.append(f"in po/corvane.pot, no longer in the code: {key}")
    return fresh


def check_languages(source, problems):
    linguas = (source / "po/LINGUAS").read_text().split("\n")
    for language in " ".join(l for l in linguas if not l.startswith("#")).split():
        po = source / "po" / f"{language}.po"
        compiled = run("msgfmt", "--check", "--statistics", "-o", "/dev/null", str(po))
        if compiled.returncode != 0:
            problems.append(f"{language}.po: msgfmt --check fails:\n{compiled.stderr}")
            continue
        if re.search(r"fuzzy|untranslated", compiled.stderr):
            problems.append(f"{language}.po is not complete: {compiled.stderr.strip()}")
        compared = run("msgcmp", str(po), str(source / "po/corvane.pot"))
        if compared.returncode != 0:
            problems.append(f"{language}.po lacks texts of the template:\n{compared.stderr}")


# Words for a person: two words of letters with a blank between them.
PROSE = re.compile(r"[A-Za-z]{2,}[,.:;!?]? +[A-Za-z(\"'][A-Za-z]")


def unmarked_prose(source, fresh, work):
    files = sorted(str(p.relative_to(source)) for p in (source / "src").rglob("*")
                   if p.suffix in (".cpp", ".h") and p.name != "translation.h")
    every = work / "every.pot"
    made = run("xgettext", "--language=C++", "--from-code=UTF-8", "--extract-all",
               "--no-wrap", "--force-po", "-o", str(every), *files, cwd=source)
    if made.returncode != 0:
        sys.exit(made.stderr)
    marked = {key for _, key in messages(fresh, with_parts=True)}
    kept = set()
    exceptions = source / "po/not-translated"
    for line in exceptions.read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            kept.add(line)
    for context, key in sorted(messages(every) - {(None, k) for k in marked}, key=str):
        text = key.replace('"' + '"', "")
        if key in marked or not PROSE.search(text) or text in kept:
            continue
        yield text


def main():
    source = Path(sys.argv[1]).resolve()
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        work = Path(folder)
        fresh = check_template(source, work, problems)
        check_languages(source, problems)
        for text in unmarked_prose(source, fresh, work):
            problems.append(f"reads as words for a person but is not marked for translation "
                            f"(mark it, or list it in po/not-translated): {text}")
    for problem in problems:
        print(problem)
    if problems:
        print("Run `make update-po` after marking texts; po/README.md tells the rest.")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
