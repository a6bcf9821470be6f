#!/usr/bin/env python3
"""Writes the manual page vantrel-cli(1) and the bash completion of vantrel-cli from the built
program's own help, so that neither can drift from the options the parser takes.

usage: make_cli_docs.py VANTREL_CLI MAN_TEMPLATE MAN_OUT(.1 or .1.gz) COMPLETION_OUT

The help's option lines are "  --name [PLACEHOLDER]" in a 28-character column, then the
description and an optional " [default: ...]". A placeholder of words joined by '|' is a choice
the completion offers; FILE and PATH complete file names (and -).
"""
import gzip
import re
import subprocess
import sys

COLUMN = 28
DEFAULT = re.compile(r" \[default: (.*)\]$")


def run(cli, *args):
    p = subprocess.run([cli] + list(args), capture_output=True, text=True)
    if p.returncode != 0:
        sys.exit("%s %s: exit %d\n%s" % (cli, " ".join(args), p.returncode, p.stderr))
    return p.stdout


def parse_overview(text):
    """The (name, summary) of each command the overview lists."""
    commands = []
    lines = text.splitlines()
    start = lines.index("commands:") + 1
    for line in lines[start:]:
        if not line.strip():
            break
        name, summary = line.strip().split(None, 1)
        if name != "help":
            commands.append((name, summary))
    if not commands:
        sys.exit("the overview lists no commands")
    return commands


def parse_option(line):
    """(name, placeholder or None, description, default or None) of one option line."""
    if len(line) > COLUMN and line[COLUMN] == " ":
        left, rest = line[:COLUMN], line[COLUMN + 1:]
    else:
        end = line.index(" ", COLUMN)
        left, rest = line[:end], line[end + 1:]
    words = left.split()
    if not 1 <= len(words) <= 2 or not words[0].startswith("--"):
        sys.exit("unexpected option line: %r" % line)
    default = None
    match = DEFAULT.search(rest)
    if match:
        default = match.group(1)
        rest = rest[:match.start()]
    return words[0], (words[1] if len(words) == 2 else None), rest.strip(), default


def parse_command(text):
    """The options of one command's help and its notes (the indented lines after them)."""
    options, notes = [], []
    for line in text.splitlines():
        if line.startswith("  --") and not notes:
            options.append(parse_option(line))
        elif not options:
            continue
        elif not line.startswith("  ") or line.strip().startswith("A FILE of -"):
            break  # the standard streams have a section of their own
        else:
            notes.append(line.strip())
    if not options:
        sys.exit("a command's help lists no options")
    return options, notes


def exit_status(text):
    """The overview's exit status paragraph, as one line."""
    lines = text.splitlines()
    start = next(i for i, line in enumerate(lines) if line.startswith("exit status:"))
    return " ".join(lines[start:]).replace("exit status: ", "", 1)


# ---- The manual page ------------------------------------------------------------------------

def roff(text):
    """Text for a roff line: backslashes and hyphens escaped, no leading control character."""
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text[:1] in (".", "'") else text


def man_commands(commands, helps):
    out = []
    for name, summary in commands:
        options, notes = helps[name]
        takes_file = any(o[0] == "--file" for o in options)
        out.append(".SS %s" % roff("vantrel-cli " + name + (" FILE" if takes_file else "")))
        out.append(roff(summary[0].upper() + summary[1:] + "."))
        for option, placeholder, description, default in options:
            out.append(".TP")
            if placeholder:
                out.append('.BI "%s " "%s"' % (roff(option), roff(placeholder)))
            else:
                out.append(".B %s" % roff(option))
            text = description + ("" if description.endswith(".") else ".")
            if default is not None:
                text += " Default: " + default + "."
            out.append(roff(text))
        if notes:
            out.append(".PP")
            out.append(roff(" ".join(notes)))
    return "\n".join(out)


def man_page(template, version, commands, helps, status):
    with open(template, encoding="utf-8") as f:
        page = f.read()
    page = page.replace("@VERSION@", version)
    page = page.replace("@COMMANDS@", man_commands(commands, helps))
    return page.replace("@EXIT_STATUS@", roff(status))


# ---- The bash completion --------------------------------------------------------------------

COMPLETION = r'''# bash completion of vantrel-cli, written by tools/make_cli_docs.py from the program's help.
_vantrel_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD-1]}
    if ((COMP_CWORD == 1)); then
        mapfile -t COMPREPLY < <(compgen -W "%(commands)s help --help --version" -- "$cur")
        return
    fi
    local command=${COMP_WORDS[1]} options
    case $command in
%(options)s
    help)
        ((COMP_CWORD == 2)) &&
            mapfile -t COMPREPLY < <(compgen -W "%(commands)s" -- "$cur")
        return
        ;;
    *) return ;;
    esac
    case $prev in
%(values)s
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    elif [[ $command == load || $command == open ]]; then
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
}
complete -F _vantrel_cli vantrel-cli
'''

FILE_PLACEHOLDERS = ("FILE", "PATH")


def completion(commands, helps):
    option_cases = []
    for name, _ in commands:
        names = " ".join(o[0] for o in helps[name][0])
        option_cases.append("    %s) options=\"%s\" ;;" % (name, names))
    # What follows an option: its placeholder in each command that takes it (the same in most).
    placeholders = {}
    for name, _ in commands:
        for option, placeholder, _, _ in helps[name][0]:
            if placeholder is not None:
                placeholders.setdefault(option, {})[name] = placeholder
    value_cases = []
    for option, by_command in placeholders.items():
        kinds = {p in FILE_PLACEHOLDERS for p in by_command.values()}
        if len(kinds) > 1:
            sys.exit("%s takes a file in one command and %s in another"
                     % (option, " or ".join(sorted(set(by_command.values())))))
    files = sorted(o for o, p in placeholders.items()
                   if next(iter(p.values())) in FILE_PLACEHOLDERS)
    if files:
        value_cases.append(
            "    %s)\n        compopt -o filenames 2>/dev/null\n"
            "        mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")\n"
            "        return\n        ;;" % "|".join(files))

    def choice(placeholder):
        words = placeholder.split("|")
        if len(words) > 1 and all(re.fullmatch(r"[a-z0-9]+", w) for w in words):
            return " ".join(words)
        return None  # a number or a list of numbers

    for option, by_command in sorted(placeholders.items()):
        if option in files:
            continue
        counts = {}
        for placeholder in by_command.values():
            counts[placeholder] = counts.get(placeholder, 0) + 1
        common = max(sorted(counts), key=lambda p: counts[p])
        others = [(c, p) for c, p in by_command.items() if p != common and choice(p)]
        if not others and choice(common) is None:
            value_cases.append("    %s) return ;;" % option)
            continue
        if not others:
            value_cases.append(
                "    %s)\n        mapfile -t COMPREPLY < <(compgen -W \"%s\" -- \"$cur\")\n"
                "        return\n        ;;" % (option, choice(common)))
            continue
        # A command whose placeholder differs gets its own words.
        lines = ["    %s)" % option, "        local words=\"%s\"" % (choice(common) or ""),
                 "        case $command in"]
        lines += ["        %s) words=\"%s\" ;;" % (c, choice(p)) for c, p in sorted(others)]
        lines += ["        esac",
                  "        [[ -n $words ]] &&",
                  "            mapfile -t COMPREPLY < <(compgen -W \"$words\" -- \"$cur\")",
                  "        return", "        ;;"]
        value_cases.append("\n".join(lines))
    return COMPLETION % {"commands": " ".join(n for n, _ in commands),
                         "options": "\n".join(option_cases),
                         "values": "\n".join(value_cases)}


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    cli, template, man_out, completion_out = sys.argv[1:]
    version = run(cli, "--version").split()[-1]
    overview = run(cli, "--help")
    commands = parse_overview(overview)
    helps = {name: parse_command(run(cli, "help", name)) for name, _ in commands}
    page = man_page(template, version, commands, helps, exit_status(overview)).encode("utf-8")
    if man_out.endswith(".gz"):
        # No name and no time stamp in the header: the same page gives the same bytes.
        with open(man_out, "wb") as raw:
            with gzip.GzipFile(filename="", mode="wb", fileobj=raw, compresslevel=9,
                               mtime=0) as f:
                f.write(page)
    else:
        with open(man_out, "wb") as f:
            f.write(page)
    with open(completion_out, "w", encoding="utf-8") as f:
        f.write(completion(commands, helps))


if __name__ == "__main__":
    main()
