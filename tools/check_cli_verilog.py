#!/usr/bin/env python3
"""--verilog and the Verilog testbench of vantrel-cli through the real program: --verilog gives
the same refusals as --vhdl (exit status and message, the option's name aside); the header of the
Verilog file is the VHDL file's line for line in // comments, and the body is the Verilog
template's; --testbench writes Verilog for .v and .sv and VHDL otherwise; --vhdl and --verilog in
one run write both; --template names one language. A program without templates beside it, run
in a folder holding a generated firfilter.vhd, passes that file over with a note and takes the
template further along the search path.

usage: check_cli_verilog.py PATH/TO/vantrel-cli
"""
import os
import shutil
import subprocess
import sys
import tempfile

CLI = os.path.abspath(sys.argv[1])
problems = []


def run(args, cwd):
    return subprocess.run([CLI] + args, cwd=cwd, capture_output=True, text=True)


def header(text, marker):
    lines = text.splitlines()
    end = [i for i, line in enumerate(lines) if line.startswith(marker + "-----")][1]
    return [line[2:] for line in lines[:end + 1]]


FIR = ["fir", "--taps", "15", "--edges", "200,300"]
IIR = ["iir", "--sections", "4", "--type", "bpf"]

# Refusals: (arguments with OUT for the output option, what makes them wrong)
REFUSALS = [
    (FIR + ["--data-bits", "12", "OUT"], "no --quantize"),
    (FIR + ["--quantize", "12", "OUT"], "no --data-bits"),
    (FIR + ["--quantize", "12", "--data-bits", "3", "OUT"], "data bits below 4"),
    (FIR + ["--quantize", "12", "--data-bits", "12", "--multipliers", "65", "OUT"],
     "too many multipliers"),
    (FIR + ["--quantize", "12", "--data-bits", "12", "--template", "missing.v", "OUT"],
     "a template that is not there"),
    (FIR + ["--quantize", "12", "--data-bits", "12", "--template", "iir.v", "OUT"],
     "an IIR template for a FIR"),
]

with tempfile.TemporaryDirectory() as work:
    with open(os.path.join(work, "iir.v"), "w") as f:
        f.write("module iirfilter; // COB'brepa0\nendmodule\n")
    for args, why in REFUSALS:
        results = []
        for option, out in (("--vhdl", "f.vhd"), ("--verilog", "f.v")):
            i = args.index("OUT")
            p = run(args[:i] + [option, out] + args[i + 1:], work)
            # A refusal that names its option, or both: the same words either way.
            text = p.stderr.replace(out, "OUT")
            if "--vhdl" not in text or "--verilog" not in text:
                text = text.replace(option, "OPT")
            results.append((p.returncode, text))
        if results[0] != results[1] or results[0][0] == 0:
            problems.append("%s: --vhdl gives %r, --verilog %r" % (why, results[0], results[1]))

    # Both languages in one run, FIR and IIR, each header the other's.
    for design in (FIR, IIR):
        p = run(design + ["--quantize", "16", "--data-bits", "12", "--arch", "folded",
                          "--vhdl", "f.vhd", "--verilog", "f.v"], work)
        if p.returncode != 0:
            problems.append("%s: exit %d: %s" % (design[0], p.returncode, p.stderr))
            continue
        with open(os.path.join(work, "f.vhd")) as f:
            vhdl_text = f.read()
        with open(os.path.join(work, "f.v")) as f:
            verilog_text = f.read()
        if header(vhdl_text, "--") != header(verilog_text, "//"):
            problems.append("%s: the Verilog header differs from the VHDL one" % design[0])
        module = "module %sfilter (" % design[0]
        vhdl_lines = [line for line in verilog_text.splitlines() if line.startswith("--")]
        if module not in verilog_text or "entity" in verilog_text or vhdl_lines:
            problems.append("%s: the .v file is not the Verilog template" % design[0])

    # The testbench's language follows its file name.
    for name, marker in (("tb.v", "module firfilter_tb;"), ("tb.sv", "module firfilter_tb;"),
                         ("tb.vhd", "entity firfilter_tb is"), ("tb.txt", "entity firfilter_tb is")):
        p = run(FIR + ["--quantize", "16", "--data-bits", "12", "--testbench", name], work)
        with open(os.path.join(work, name)) as f:
            text = f.read() if p.returncode == 0 else ""
        if marker not in text:
            problems.append("--testbench %s: exit %d, no %r" % (name, p.returncode, marker))

    p = run(FIR + ["--quantize", "16", "--data-bits", "12", "--template", "iir.v",
                   "--vhdl", "a.vhd", "--verilog", "a.v"], work)
    if p.returncode != 2 or "--template" not in p.stderr:
        problems.append("--template with both languages: exit %d %s" % (p.returncode, p.stderr))

# The template search passes over a file that is no template of the structure.
TEMPLATES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "vhdl", "templates")
with tempfile.TemporaryDirectory() as work:
    bin_dir, here = os.path.join(work, "bin"), os.path.join(work, "here")
    os.mkdir(bin_dir)
    os.mkdir(here)
    alone = os.path.join(bin_dir, "vantrel-cli")
    shutil.copy(CLI, alone)
    args = ["fir", "--quantize", "12", "--data-bits", "10", "--vhdl"]
    env = dict(os.environ, PATH=os.path.abspath(TEMPLATES) + ":/usr/bin:/bin")
    first = subprocess.run([alone] + args + ["firfilter.vhd"], capture_output=True, text=True,
                           cwd=here, env=env)
    second = subprocess.run([alone] + args + ["again.vhd"], capture_output=True, text=True,
                            cwd=here, env=env)
    note = os.path.join(here, "firfilter.vhd") + " is not a FIR template; searching on"
    if first.returncode != 0 or second.returncode != 0 or note not in second.stderr:
        problems.append("template search past a generated firfilter.vhd: exits %d, %d, %r"
                        % (first.returncode, second.returncode, second.stderr))
    elif open(os.path.join(here, "again.vhd")).read() != \
            open(os.path.join(here, "firfilter.vhd")).read():
        problems.append("the VHDL written past a generated firfilter.vhd differs")

for problem in problems:
    print("FAILED", problem)
print("%d problems" % len(problems))
sys.exit(1 if problems else 0)
