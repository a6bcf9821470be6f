#!/usr/bin/env python3
"""The command-line conventions of vantrel-cli, through the real program:
- --version prints "vantrel-cli VERSION", VERSION being the project's version in CMakeLists.txt;
- --help and help give the overview (the commands, no options); help COMMAND, COMMAND --help
  and COMMAND -h give that command's options only, and an unknown command is refused;
- a refusal names the options to give, never a button, a check box or a menu of the window;
- the printed coefficients, the report, the coefficient file and the export all hold the taps
  times --mult.

usage: check_cli_conventions.py PATH/TO/vantrel-cli
"""
import os
import re
import subprocess
import sys
import tempfile

CLI = os.path.abspath(sys.argv[1])
SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
COMMANDS = ["fir", "iir", "wave", "load", "open"]
problems = []


def run(args, cwd=None):
    return subprocess.run([CLI] + args, capture_output=True, text=True, cwd=cwd)


def check(label, ok, detail=""):
    if ok:
        print("ok     " + label)
    else:
        problems.append(label + (": " + detail if detail else ""))


def options_of(text):
    return re.findall(r"^  (--[a-z-]+)", text, re.M)


# ---- --version
with open(os.path.join(SOURCE, "CMakeLists.txt"), encoding="utf-8") as f:
    version = re.search(r"project\(vantrel VERSION ([0-9.]+)", f.read()).group(1)
p = run(["--version"])
check("--version prints the project's version %s" % version,
      p.returncode == 0 and p.stdout == "vantrel-cli %s\n" % version and not p.stderr,
      "exit %d: %r %r" % (p.returncode, p.stdout, p.stderr))
p = run(["--version", "fir"])
check("--version with another word is refused", p.returncode == 2 and not p.stdout)

# ---- Help
overview = run(["--help"])
check("help and --help give the same overview",
      overview.returncode == 0 and run(["help"]).stdout == overview.stdout)
check("the overview names every command and lists no option",
      all(re.search(r"^  %s " % c, overview.stdout, re.M) for c in COMMANDS + ["help"])
      and not options_of(overview.stdout), overview.stdout)
empty = run([])
check("no command: the overview on standard error, exit 2",
      empty.returncode == 2 and not empty.stdout and empty.stderr == overview.stdout)
helps = {}
for command in COMMANDS:
    spellings = [run(["help", command]), run([command, "--help"]), run([command, "-h"])]
    text = spellings[0].stdout
    helps[command] = text
    others = [c for c in COMMANDS if c != command and "vantrel-cli " + c in text]
    check("help %s: its own options only, by every spelling" % command,
          all(s.returncode == 0 and s.stdout == text for s in spellings)
          and options_of(text) and not others,
          "other commands shown: %s" % others)
# Options some commands have and others lack appear only in the help of those that have them.
for command, absent in [("fir", "--spectrum"), ("fir", "--cutoff"), ("iir", "--taps"),
                        ("wave", "--export"), ("open", "--type"), ("load", "--hardware")]:
    check("help %s lacks %s" % (command, absent), absent not in options_of(helps[command]))
for args, text in [(["help", "design"], "unknown command 'design'"),
                   (["help", "fir", "iir"], "unexpected argument 'iir'"),
                   (["design"], "unknown command 'design'")]:
    p = run(args)
    check("refused: " + " ".join(args),
          p.returncode == 2 and not p.stdout and text in p.stderr, p.stderr)

# ---- Refusals name options
WINDOW_WORDS = ["Click", "click", "button", "\"Help\"", "enable \"Quantize\"",
                "Enable \"Quantize\""]
with tempfile.TemporaryDirectory() as work:
    no_header = os.path.join(work, "no-header.txt")
    with open(no_header, "w") as f:
        f.write("taps follow\n0.5\n0.25\n")  # words, not a column of numbers
    bad_number = os.path.join(work, "bad.txt")
    with open(bad_number, "w") as f:
        f.write("Data is Hex : 1.0 => 00008000h\n00004000hzz\n")
    vhd = os.path.join(work, "f.vhd")
    # (arguments, what standard error must hold)
    REFUSALS = [
        (["fir", "--vhdl", vhd, "--data-bits", "12"], "--quantize B is needed for --vhdl"),
        (["iir", "--testbench", vhd, "--data-bits", "12"], "--quantize B is needed"),
        (["fir", "--data-bits", "10", "--hw-report"], "--quantize B is needed"),
        (["iir", "--export", os.path.join(work, "e.coe")],
         "--quantize B is needed for --export to .coe or .mif"),
        (["fir", "--export", os.path.join(work, "e.mif")], "--quantize B is needed for --export"),
        (["fir", "--report", "--format", "hex"], "--format bin, dec and hex need --quantize B."),
        (["load", "--save-coeffs", os.path.join(work, "c.txt"), "--format", "bin", no_header],
         "COEFFICIENT FILES in vantrel-cli(1)"),
        (["load", bad_number], "Invalid coefficient file format"),
        (["iir", "--report", "--quantize", "32", "--format", "hex"],
         "--quantize: Decrease the bits for Quantization!!"),
        (["iir", "--quantize", "25"], "--quantize: In IIR design"),
    ]
    for args, text in REFUSALS:
        p = run(args)
        words = [w for w in WINDOW_WORDS if w in p.stderr]
        check("names options: " + " ".join(a if not a.startswith(work) else "FILE"
                                           for a in args),
              p.returncode == 2 and not p.stdout and text in p.stderr and not words,
              "exit %d, %r" % (p.returncode, p.stderr))
    check("no file written by a refused run", not os.path.exists(vhd))

    # ---- --mult in every printout of the taps
    def numbers(text, skip=0, column=-1):
        rows = [line.replace(",", " ").split() for line in text.splitlines()[skip:]
                if not line.startswith("#")]
        return [float(r[column]) for r in rows if r]

    for quantize in ([], ["--quantize", "16"]):
        base = ["fir", "--taps", "21", "--edges", "200,300"] + quantize
        plain = numbers(run(base).stdout)
        listed = numbers(run(base + ["--mult", "3"]).stdout)
        saved = numbers(run(base + ["--mult", "3", "--save-coeffs", "-"]).stdout, skip=1)
        report = numbers(run(base + ["--mult", "3", "--report"]).stdout, skip=1)
        exported = numbers(run(base + ["--mult", "3", "--export", "-", "--export-format",
                                       "csv"]).stdout)
        tripled = all(abs(x - 3 * p) <= 2 ** -14 + 1e-12 * abs(x) for x, p in zip(listed, plain))
        label = "--mult 3%s: printed taps = 3 x taps = the file, report and export" % (
            " with --quantize" if quantize else "")
        check(label,
              len(listed) == len(plain) == 21 and tripled and listed == saved
              and len(exported) == 21 and all(abs(a - b) < 1e-15 for a, b in zip(listed,
                                                                                 exported))
              and all(abs(a - b) < 5e-10 for a, b in zip(listed, report)),
              "listed %s, saved %s, report %s, exported %s" % (listed[:3], saved[:3],
                                                               report[:3], exported[:3]))

for problem in problems:
    print("FAILED " + problem)
sys.exit(1 if problems else 0)
