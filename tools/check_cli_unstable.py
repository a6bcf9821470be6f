#!/usr/bin/env python3
"""vantrel-cli on an IIR cascade that quantization makes unstable: every action that prints or
draws the filter (--measure, --response, --plot, --table, wave and wave --spectrum) names every
unstable section on standard error, once, as "unstable: section k"; no "nan" or "inf" reaches
standard output or a written file; --measure prints "unstable" in place of the gains; the exit
status stays 0. The unstable sections are found here from the printed quantized sections
(|b2| < 1 and |b1| < 1 + b2 hold for a stable one), not taken from the program. The same design
at 16 bits is stable and draws no note.

usage: check_cli_unstable.py PATH/TO/vantrel-cli
"""
import os
import re
import subprocess
import sys
import tempfile

CLI = sys.argv[1]
problems = []

# A narrow low-pass of six sections: six bits move the poles of sections 4 to 6 onto or outside
# the unit circle, while sections 1 to 3 stay stable.
DESIGN = ["--type", "lpf", "--cutoff", "40", "--sections", "6"]
NOT_FINITE = re.compile(r"\b(-?nan|-?inf(inity)?)\b", re.IGNORECASE)


def run(args):
    return subprocess.run([CLI] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          text=True, timeout=300)


def unstable_sections(bits):
    printed = run(["iir"] + DESIGN + ["--quantize", str(bits)])
    if printed.returncode != 0:
        problems.append(f"iir --quantize {bits}: exit {printed.returncode}: {printed.stderr}")
        return []
    sections = []
    for k, line in enumerate(printed.stdout.split("\n")[:8], start=1):
        a0, a1, a2, b1, b2 = (float(v) for v in line.split())
        if not (abs(b2) < 1.0 and abs(b1) < 1.0 + b2):
            sections.append(k)
    return sections


def check(label, result, notes, output_text):
    if result.returncode != 0:
        problems.append(f"{label}: exit status {result.returncode} (stderr {result.stderr!r})")
    hit = NOT_FINITE.search(output_text)
    if hit:
        problems.append(f"{label}: output holds {hit.group(0)!r}")
    shown = [line for line in result.stderr.split("\n") if line.startswith("unstable")]
    if shown != notes:
        problems.append(f"{label}: standard error names {shown}, expected {notes}")


def check_bits(bits, folder):
    sections = unstable_sections(bits)
    if bits == 6 and not sections:
        problems.append("the example is stable at 6 bits: choose another")
    notes = [f"unstable: section {k}" for k in sections]
    q = ["--quantize", str(bits)]

    measured = run(["iir"] + DESIGN + q + ["--measure"])
    check(f"{bits} bits --measure", measured, notes, measured.stdout)
    gains = [line.split()[3:] for line in measured.stdout.split("\n") if line]
    if not gains:
        problems.append(f"{bits} bits --measure: no band lines")
    for cells in gains:
        if sections and any(c != "unstable" for c in cells):
            problems.append(f"{bits} bits --measure: gains {cells} of an unstable cascade")
        if not sections and any(c == "unstable" for c in cells):
            problems.append(f"{bits} bits --measure: a stable cascade called unstable")

    path = os.path.join(folder, f"response{bits}.txt")
    responded = run(["iir"] + DESIGN + q + ["--response", path])
    with open(path) as f:
        text = f.read()
    check(f"{bits} bits --response", responded, notes, text)
    if len(text.split("\n")) != 361:
        problems.append(f"{bits} bits --response: {len(text.splitlines())} lines, expected 360")

    for table in ["groupdelay", "polezero", "impulse", "step"]:
        tabled = run(["iir"] + DESIGN + q + ["--table", table])
        # The pole-zero table itself ends with the sections it flags.
        body = "\n".join(line for line in tabled.stdout.split("\n")
                         if not line.startswith("unstable"))
        check(f"{bits} bits --table {table}", tabled, notes, body)

    picture = os.path.join(folder, f"response{bits}.png")
    plotted = run(["iir"] + DESIGN + q + ["--plot", "response", "--out", picture])
    if "not available in this build" not in plotted.stderr:
        check(f"{bits} bits --plot", plotted, notes, "")

    wave_args = ["wave", "--structure", "iir"] + DESIGN + q
    waved = run(wave_args)
    check(f"{bits} bits wave", waved, notes, waved.stdout)
    spectrum = run(wave_args + ["--spectrum"])
    check(f"{bits} bits wave --spectrum", spectrum, notes, spectrum.stdout)

    # Two actions of one run name the sections once.
    both = run(["iir"] + DESIGN + q + ["--measure", "--response", path])
    check(f"{bits} bits --measure --response", both, notes, both.stdout)


with tempfile.TemporaryDirectory(prefix="vantrel-unstable-") as folder:
    check_bits(6, folder)
    check_bits(16, folder)

if problems:
    print("\n".join(problems))
    sys.exit(1)
print("unstable cascades: named on standard error by every action, no nan or inf printed")
