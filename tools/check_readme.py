#!/usr/bin/python3
"""Runs the worked example of README.md and checks the output the README shows, so the guide
cannot drift from the program.

In the README, a ```sh block preceded by `<!-- example -->` is run (with bash, in one temporary
folder shared by all blocks, in order, the built vantrel-cli first on PATH); one preceded by
`<!-- example ghdl -->` also needs ghdl and is skipped, with a message, where ghdl is absent.
A plain ``` block preceded by `<!-- output -->` holds lines the block before it must print:
each shown line must be found in one output line, where "..." stands for any text (so
"stop 0 800 -41.7..." matches "stop 0 800 -41.75117989542882").

usage: check_readme.py README.md PATH/TO/vantrel-cli [GHDL]
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

MARK = re.compile(r"^<!--\s*(example(?:\s+ghdl)?|output)\s*-->\s*$")


def blocks(readme_text):
    """[(kind, text)] of the marked fenced blocks, in README order."""
    lines = readme_text.split("\n")
    found = []
    i = 0
    while i < len(lines):
        m = MARK.match(lines[i])
        if m and i + 1 < len(lines) and lines[i + 1].startswith("```"):
            j = i + 2
            body = []
            while j < len(lines) and not lines[j].startswith("```"):
                body.append(lines[j])
                j += 1
            if j == len(lines):
                sys.exit("README: the block marked at line %d is not closed" % (i + 1))
            found.append((" ".join(m.group(1).split()), "\n".join(body)))
            i = j + 1
        else:
            i += 1
    return found


def matches(shown, line):
    pieces = [re.escape(p) for p in shown.strip().split("...")]
    return re.search(".*".join(pieces), line) is not None


def missing_lines(shown_block, output):
    out_lines = output.split("\n")
    return [s for s in shown_block.split("\n")
            if s.strip() and not any(matches(s, line) for line in out_lines)]


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    readme = sys.argv[1]
    cli = os.path.abspath(sys.argv[2])
    ghdl = sys.argv[3] if len(sys.argv) > 3 else shutil.which("ghdl")
    with open(readme, encoding="utf-8") as f:
        found = blocks(f.read())
    examples = [b for b in found if b[0].startswith("example")]
    outputs = [b for b in found if b[0] == "output"]
    if not examples or not outputs:
        sys.exit("README: no marked example or output blocks found")
    env = dict(os.environ)
    paths = [os.path.dirname(cli)]
    if ghdl:
        paths.append(os.path.dirname(os.path.abspath(shutil.which(ghdl) or ghdl)))
    env["PATH"] = os.pathsep.join(paths + [env.get("PATH", "")])
    failures = 0
    last = None  # (output, skipped) of the last example block run
    with tempfile.TemporaryDirectory() as work:
        for kind, text in found:
            if kind.startswith("example"):
                if kind == "example ghdl" and not ghdl:
                    print("SKIPPED (ghdl is not installed; Debian package ghdl):\n" + text)
                    last = (None, True)
                    continue
                p = subprocess.run(["bash", "-e", "-c", text], cwd=work, env=env,
                                   capture_output=True, text=True)
                if p.returncode != 0:
                    failures += 1
                    print("FAILED (exit %d):\n%s\n--- output:\n%s%s"
                          % (p.returncode, text, p.stdout, p.stderr))
                    last = (None, False)
                    continue
                print("ok     " + text.replace("\n", "\n       "))
                last = (p.stdout + p.stderr, False)
            else:
                if last is None:
                    failures += 1
                    print("FAILED: an output block follows no example block:\n" + text)
                    continue
                output, skipped = last
                if skipped or output is None:
                    continue
                missing = missing_lines(text, output)
                if missing:
                    failures += 1
                    print("FAILED: the output lacks the lines the README shows:\n%s\n"
                          "--- output:\n%s" % ("\n".join(missing), output[-3000:]))
                else:
                    print("ok     output: %d lines as shown" % len(text.strip().split("\n")))
    print("%d of %d README blocks failed" % (failures, len(found)))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
