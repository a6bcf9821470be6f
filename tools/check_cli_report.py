#!/usr/bin/python3
"""Checks `vantrel-cli fir|iir --report`: the report's header and line formats against the
coefficients the plain commands print (Real with 9 decimals, integers truncated toward zero at
2^(B-1)), the warnings of the Coefficients dialog on standard error with exit status 2, and the
refusals of bad --format / --quantize values.

usage: check_cli_report.py PATH/TO/vantrel-cli
"""
import math
import subprocess
import sys


def run(cli, args):
    return subprocess.run([cli] + args, capture_output=True, text=True)


def to_fixed(x, bits):
    return math.trunc(x * 2.0 ** (bits - 1))


def hex_text(v):
    return "%08Xh" % (v & 0xFFFFFFFF)


def bin_text(v):
    return format(v & 0xFFFFFFFF, "032b") + "b"


# arguments, exit status, text expected on stderr
REFUSALS = [
    (["fir", "--report", "--format", "dec"], 2, '--format bin, dec and hex need --quantize B.'),
    (["iir", "--report", "--quantize", "25"], 2,
     "In IIR design, the bit length of coefficients can not exceed 24!!"),
    (["iir", "--report", "--quantize", "32", "--format", "hex"], 2,
     "Decrease the bits for Quantization!! (The integer exceeds the limit)"),
    (["fir", "--report", "--quantize", "3"], 2, "Please enter an integer between 4 and 32."),
    (["fir", "--report", "--format", "oct"], 2, "expected real, bin, dec or hex"),
    (["fir", "--format", "hex"], 2, "only with --report"),
    (["fir", "--edges", "200,500", "--report"], 2, "Frequencies need to be Fc1 < Fc2 < Fs/2."),
]


def check_fir(cli, design, bits, fmt, problems):
    taps = [float(t) for t in run(cli, ["fir"] + design).stdout.split()]
    # The printed taps times K equal K times the taps designed without it.
    if "--mult" in design:
        i = design.index("--mult")
        plain = [float(t) for t in run(cli, ["fir"] + design[:i] + design[i + 2:]).stdout.split()]
        mult = int(design[i + 1])
        if any(abs(t - mult * p) > 1e-15 * max(1.0, abs(t)) for t, p in zip(taps, plain)):
            problems.append(f"{design}: the printed taps are not {mult} times the taps")
    args = ["fir"] + design + ["--report"]
    if bits:
        args += ["--quantize", str(bits)]
    if fmt != "real":
        args += ["--format", fmt]
    out = run(cli, args)
    lines = out.stdout.split("\n")
    if out.returncode != 0 or lines[-1] != "" or len(lines) != len(taps) + 2:
        problems.append(f"{args}: exit {out.returncode}, {len(lines)} pieces")
        return
    one = 2 ** (bits - 1) if bits else 0
    headers = {"real": "Data is Real : 1.0 => 1.0",
               "dec": "Data is Decimal : 1.0 => %10d" % one,
               "hex": "Data is Hex : 1.0 => " + hex_text(one),
               "bin": "Data is Binary : 1.0 => " + bin_text(one)}
    if lines[0] != headers[fmt]:
        problems.append(f"{args}: header {lines[0]!r}")
    for j, scaled in enumerate(taps):
        # Every list shows the taps times the multiplier, as the VHDL and the files hold them:
        # the printed taps of the design already are K * h.
        if fmt == "real":
            value = to_fixed(scaled, bits) / 2.0 ** (bits - 1) if bits else scaled
            expected = "h[%3d] =%13.9f" % (j, value)
        elif fmt == "dec":
            expected = "h[%3d] =%12d" % (j, to_fixed(scaled, bits))
        elif fmt == "hex":
            expected = "h[%3d] =" % j + hex_text(to_fixed(scaled, bits))
        else:
            expected = "h[%3d] =" % j + bin_text(to_fixed(scaled, bits))
        if lines[j + 1] != expected:
            problems.append(f"{args}: line {j + 1} {lines[j + 1]!r}, expected {expected!r}")
            return


def check_iir(cli, design, bits, fmt, problems):
    rows = [[float(v) for v in line.split()] for line in
            run(cli, ["iir"] + design).stdout.splitlines()]
    args = ["iir"] + design + ["--report", "--quantize", str(bits), "--format", fmt]
    out = run(cli, args)
    lines = out.stdout.splitlines()
    if out.returncode != 0 or len(lines) != 41:
        problems.append(f"{args}: exit {out.returncode}, {len(lines)} lines")
        return
    names = ["a0", "a1", "a2", "b1", "b2"]
    for k, row in enumerate(rows):
        for c, value in enumerate(row):
            fixed = to_fixed(value, bits)
            expected = {"dec": "%s =%12d" % (names[c], fixed),
                        "hex": "%s = %s" % (names[c], hex_text(fixed)),
                        "bin": "%s = %s" % (names[c], bin_text(fixed))}[fmt]
            if lines[1 + 5 * k + c] != expected:
                problems.append(f"{args}: {lines[1 + 5 * k + c]!r}, expected {expected!r}")
                return


def main():
    cli = sys.argv[1]
    problems = []
    for args, status, err_text in REFUSALS:
        out = run(cli, args)
        if out.returncode != status or err_text not in out.stderr or out.stdout:
            problems.append(f"{args}: exit {out.returncode}, stderr {out.stderr.strip()!r}")
    for design in (["--taps", "41"], ["--type", "hpf", "--taps", "42"],
                   ["--type", "bpf", "--edges", "100,150,300,350", "--taps", "61", "--mult", "3"]):
        for bits, fmt in ((0, "real"), (4, "real"), (16, "dec"), (12, "hex"), (20, "bin")):
            check_fir(cli, design, bits, fmt, problems)
    for design in (["--sections", "3"], ["--type", "bpf", "--cutoff", "150,300", "--sections", "4"]):
        for bits, fmt in ((16, "dec"), (24, "hex"), (8, "bin")):
            check_iir(cli, design, bits, fmt, problems)
    for p in problems:
        print(p)
    print("check_cli_report:", "FAILED" if problems else "ok")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
