#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The command line in every shipped language, run as a user runs it.

  check_cli_translations.py LINGUAS LOCALE_DIR PROGRAM [PROGRAM...]

For each language: every help text of each PROGRAM (the overview and, for the command line,
each command's) fits a terminal of 80 columns, counting East Asian wide characters as two;
every catalogue text that the English help shows whole is shown translated; a usage error
says something other than the English and ends with the same status. In the C locale the
output is English whatever LANGUAGE says.
"""
import gettext
import os
import re
import subprocess
import sys
import unicodedata
from pathlib import Path

COLUMNS = 80


def run(program, args, language=None, locale="C.UTF-8"):
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LC_ALL": locale}
    if language:
        env["LANGUAGE"] = language
    return subprocess.run([program, *args], capture_output=True, text=True, env=env,
                          stdin=subprocess.DEVNULL, check=False)


def width(line):
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in line)


def commands_of(overview):
    match = re.search(r"^Commands:\n((?:[ \t]+\S.*\n)+)", overview, re.MULTILINE)
    return [line.split()[0] for line in match.group(1).splitlines()] if match else []


def main():
    linguas, locale_dir, programs = Path(sys.argv[1]), sys.argv[2], sys.argv[3:]
    languages = [w for line in linguas.read_text().splitlines() if not line.startswith("#")
                 for w in line.split()]
    problems = []
    for program in programs:
        name = Path(program).name
        overview = run(program, ["--help"]).stdout
        helps = [["--help"]] + [[c, "--help"] for c in commands_of(overview)]
        english = {tuple(a): run(program, a).stdout for a in helps}
        # Only a program with commands refuses an option it does not know (Qt's take them).
        refused = run(program, ["--no-such-option"]) if len(helps) > 1 else None
        for language in languages:
            if run(program, ["--help"], language, locale="C").stdout != overview:
                problems.append(f"{name} [{language}]: the C locale is not English")
            catalogue = gettext.translation("corvane", locale_dir, [language])
            for args in helps:
                shown = run(program, args, language).stdout
                for line in shown.splitlines():
                    if width(line) > COLUMNS:
                        problems.append(f"{name} {' '.join(args)} [{language}]: "
                                        f"{width(line)} columns: {line}")
                for key in catalogue._catalog:
                    # Whole blocks and sentences: a short word may stand inside another.
                    whole = isinstance(key, str) and ("\n" in key or len(key) >= 24)
                    if whole and key in english[tuple(args)]:
                        if catalogue.gettext(key) not in shown:
                            problems.append(f"{name} {' '.join(args)} [{language}]: not "
                                            f"translated: {key.splitlines()[0]}")
            if refused is None:
                continue
            told = run(program, ["--no-such-option"], language)
            if told.returncode != refused.returncode or told.stderr == refused.stderr:
                problems.append(f"{name} [{language}]: the usage error is not translated")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
