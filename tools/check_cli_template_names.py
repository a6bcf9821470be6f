#!/usr/bin/env python3
"""The folded and parallel IIR templates through the real program: one template serves every
section count; a user's own template under the per-count name those templates once had
(iirfilter3_folded.vhd, iirfilter3_parallel.v, ...) is found first, one of another count or
architecture is not; a template whose section block is malformed is refused with exit status 2,
its template line on standard error and no file written.

usage: check_cli_template_names.py PATH/TO/vantrel-cli
"""
import os
import subprocess
import sys
import tempfile

CLI = os.path.abspath(sys.argv[1])
problems = []

IIR = ["iir", "--type", "lpf", "--sections", "3", "--quantize", "16", "--data-bits", "12"]
USER_LINE = "-- a user's own template\n"
USER_TEMPLATE = USER_LINE + "constant c : string := \"repa0 repa1 repa2 repb1 repb2\";\n"


def run(args, cwd):
    return subprocess.run([CLI] + args, cwd=cwd, capture_output=True, text=True)


# (files written into the current folder, architecture, output option and file, whether the
# user's template is expected)
CASES = [
    (["iirfilter3_folded.vhd"], "folded", "--vhdl", "out.vhd", True),
    (["iirfilter3_parallel.v"], "parallel", "--verilog", "out.v", True),
    (["iirfilter2_folded.vhd"], "folded", "--vhdl", "out.vhd", False),
    (["iirfilter3_folded.vhd"], "parallel", "--vhdl", "out.vhd", False),
    (["iirfilter3_folded.vhd"], "folded", "--verilog", "out.v", False),
    ([], "folded", "--vhdl", "out.vhd", False),
]

for files, arch, option, out, user in CASES:
    what = "%s %s %s with %s" % (arch, option, out, files or "no file")
    with tempfile.TemporaryDirectory() as work:
        for name in files:
            with open(os.path.join(work, name), "w") as f:
                f.write(USER_TEMPLATE.replace("--", "//") if name.endswith(".v") else USER_TEMPLATE)
        p = run(IIR + ["--arch", arch, option, out], work)
        if p.returncode != 0:
            problems.append("%s: exit %d: %s" % (what, p.returncode, p.stderr.strip()))
            continue
        with open(os.path.join(work, out)) as f:
            text = f.read()
        took_user = "a user's own template" in text
        if took_user != user:
            problems.append("%s: %s" % (what, "the user's template was not taken" if user
                                        else "a template of another name was taken"))
        if not user and "cascade of 3 second-order IIR sections" not in text:
            problems.append("%s: the shipped template was not written for 3 sections" % what)
        if "@{" in text or "@SECTION" in text or "@END" in text:
            problems.append("%s: block marks left in the output" % what)

# Malformed blocks: refused before anything is written.
MALFORMED = [
    ("x\n--@SECTION\nrepa0 repb2\n", "template line 2: the section block opened here has no"),
    ("--@SECTION\n--@SECTION\nrepa0 repb2\n--@END\n--@END\n", "template line 2: "),
    ("repa0 repb2 @{s}\n", "template line 1: "),
]
for text, expected in MALFORMED:
    with tempfile.TemporaryDirectory() as work:
        with open(os.path.join(work, "mine.vhd"), "w") as f:
            f.write(text)
        p = run(IIR + ["--arch", "folded", "--template", "mine.vhd", "--vhdl", "out.vhd"], work)
        if p.returncode != 2 or expected not in p.stderr:
            problems.append("malformed %r: exit %d, %r" % (text, p.returncode, p.stderr.strip()))
        if os.path.exists(os.path.join(work, "out.vhd")):
            problems.append("malformed %r: a file was written" % text)

for problem in problems:
    print("FAIL", problem)
failed = len({problem.split(":")[0] for problem in problems})
print("%d passed, %d failed" % (len(CASES) + len(MALFORMED) - failed, failed))
sys.exit(1 if problems else 0)
