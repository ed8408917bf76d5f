#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Whatever a program's --help lists must be in its man page and its bash completion.

  check_help_coverage.py man PROGRAM PAGE.scd
      every command of the overview has a "## command" subsection in PAGE that describes each
      option of "PROGRAM command --help" under a term line ("*--option* _VALUE_"); the terms
      of the overview's options may stand anywhere in PAGE
  check_help_coverage.py completion PROGRAM COMPLETION_FILE
      Tab after PROGRAM offers every command, and after each command every long option of
      its help
"""
import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])--?[a-z][a-z0-9-]*")


def help_text(program, *args):
    result = subprocess.run([program, *args, "--help"], capture_output=True, text=True,
                            check=False)
    if result.returncode != 0:
        sys.exit(f"{program} {' '.join(args)} --help ended with {result.returncode}")
    return result.stdout


def options_of(text):
    return sorted(set(OPTION.findall(text)))


def commands_of(overview):
    """The first word of each indented line in the "Commands:" block of the overview."""
    match = re.search(r"^Commands:\n((?:[ \t]+\S.*\n)+)", overview, re.MULTILINE)
    return [line.split()[0] for line in match.group(1).splitlines()] if match else []


def subsections(page):
    """Text of each "## name" subsection, up to the next heading."""
    parts = re.split(r"^(#{1,2} .*)$", page, flags=re.MULTILINE)
    return {heading[3:].strip(): body for heading, body in zip(parts[1::2], parts[2::2])
            if heading.startswith("## ")}


def has_term(text, option):
    """A line that starts with the option in bold, maybe after others ("*-h*, *--help*")."""
    return re.search(r"^(?:\*[^*\n]+\*, )*" + re.escape(f"*{option}*"), text, re.MULTILINE)


def check_man(program, page_path):
    with open(page_path, encoding="utf-8") as page_file:
        page = page_file.read()
    overview = help_text(program)
    problems = [f"option {option} of '{program} --help' is no term in {page_path}"
                for option in options_of(overview) if not has_term(page, option)]
    sections = subsections(page)
    for command in commands_of(overview):
        if command not in sections:
            problems.append(f"command {command} has no '## {command}' subsection")
            continue
        problems += [f"option {option} of '{command} --help' is no '*{option}*' term under "
                     f"'## {command}'"
                     for option in options_of(help_text(program, command))
                     if option not in ("-h", "--help") and not has_term(sections[command], option)]
    return problems


def completions(completion_file, words):
    """What Tab offers after the given words (the last one is being completed)."""
    script = (f'source /usr/share/bash-completion/bash_completion && source "$0" && '
              f'COMP_WORDS=("$@") && COMP_CWORD=$(($# - 1)) && COMP_LINE="$*" && '
              f'COMP_POINT=${{#COMP_LINE}} && _corvane && printf "%s\\n" "${{COMPREPLY[@]}}"')
    result = subprocess.run(["bash", "-c", script, completion_file, *words], capture_output=True,
                            text=True, check=True)
    return set(result.stdout.split())


def check_completion(program, completion_file):
    overview = help_text(program)
    commands = commands_of(overview)
    if not commands:
        return [f"no 'Commands:' block in '{program} --help'"]
    problems = [f"Tab after '{program}' does not offer {command}"
                for command in sorted(set(commands) - completions(completion_file, ["corvane", ""]))]
    for command in commands:
        offered = completions(completion_file, ["corvane", command, "--"])
        wanted = {o for o in options_of(help_text(program, command)) if o.startswith("--")}
        problems += [f"Tab after '{program} {command} --' does not offer {option}"
                     for option in sorted(wanted - offered)]
    return problems


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("man", "completion"):
        sys.exit(__doc__)
    mode, program, path = sys.argv[1:]
    problems = check_man(program, path) if mode == "man" else check_completion(program, path)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
