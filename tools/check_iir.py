#!/usr/bin/env python3
"""Cross-check of `vantrel-cli iir` against scipy.signal.cheby1.

For every type and section count n (even for BRF/BPF) the printed cascade must have the
magnitude response of scipy's Chebyshev type-I design of order 2m (m = n, or n/2 for BRF/BPF)
in second-order sections, times 10^(Ac/20): this design puts 0 dB at the pass-band peak where
scipy puts -Ac dB at DC. The stored pi approximations shift the response by far less than the
tolerance. Also checks the refusals (exit status 2, the warning on standard error) and that the
passed-through sections are exact identities.

Usage: check_iir.py PATH_TO_VANTREL_CLI
"""
import subprocess
import sys

import numpy as np
from scipy import signal

FS = 1000.0
RELATIVE_TOLERANCE = 1e-5
FLOOR_DB = -60.0
GRID = np.linspace(0.0005, 0.4995, 4000) * FS  # Hz, avoiding exact DC and Nyquist

CASES = {  # type: (scipy btype, cut-off list)
    "lpf": ("lowpass", [200.0]),
    "hpf": ("highpass", [150.0]),
    "brf": ("bandstop", [120.0, 310.0]),
    "bpf": ("bandpass", [200.0, 300.0]),
}
RIPPLES = [0.3, 1.0, 3.0]


def run(cli, *args):
    return subprocess.run([cli, *args], capture_output=True, text=True)


def design(cli, kind, cutoff, sections, ripple, extra=()):
    result = run(cli, "iir", "--type", kind, "--fs", str(FS),
                 "--cutoff", ",".join(repr(f) for f in cutoff),
                 "--sections", str(sections), "--ripple", repr(ripple), *extra)
    if result.returncode != 0:
        raise RuntimeError(f"iir {kind} n={sections}: exit {result.returncode}: {result.stderr}")
    rows = [[float(v) for v in line.split()] for line in result.stdout.splitlines()]
    if len(rows) != 8 or any(len(r) != 5 for r in rows):
        raise RuntimeError(f"iir {kind} n={sections}: expected 8 lines of 5 values")
    # a0 a1 a2 b1 b2 -> scipy's b0 b1 b2 a0 a1 a2
    return np.array([[a0, a1, a2, 1.0, b1, b2] for a0, a1, a2, b1, b2 in rows])


def check_design(cli, kind, sections, ripple):
    btype, cutoff = CASES[kind]
    sos = design(cli, kind, cutoff, sections, ripple)
    failures = []
    rest = sos[sections:]
    if not np.array_equal(rest, np.tile([1.0, 0, 0, 1.0, 0, 0], (len(rest), 1))):
        failures.append("sections past n are not pass-through")
    m = sections // 2 if kind in ("brf", "bpf") else sections
    reference = signal.cheby1(2 * m, ripple, cutoff if len(cutoff) > 1 else cutoff[0],
                              btype=btype, output="sos", fs=FS)
    _, ours = signal.sosfreqz(sos, worN=GRID, fs=FS)
    _, theirs = signal.sosfreqz(reference, worN=GRID, fs=FS)
    shown = 20 * np.log10(np.abs(theirs)) > FLOOR_DB
    ratio = np.abs(ours[shown]) / np.abs(theirs[shown])
    expected = 10 ** (ripple / 20)
    worst = np.max(np.abs(ratio / expected - 1))
    if worst > RELATIVE_TOLERANCE:
        failures.append(f"magnitude ratio off by {worst:.3g} relative")
    return worst, failures


REFUSALS = [  # arguments, text expected on standard error (the rules have their unit tests)
    (["--type", "lpf", "--cutoff", "500"], "Cut off needs to be lower than Nyquist Frequency!!"),
    (["--type", "brf", "--sections", "3", "--cutoff", "300,200"],
     "for BPF and BRF, the Number of IIRs needs to be 2, 4, 6 or 8."),
    (["--type", "bpf", "--sections", "9"], "Please enter an integer between 2 and 8."),
    (["--type", "lpf", "--quantize", "25"], "can not exceed 24!!"),
]


def main():
    cli = sys.argv[1]
    failed = 0
    worst_all = 0.0
    for kind in CASES:
        counts = range(2, 9, 2) if kind in ("brf", "bpf") else range(1, 9)
        for sections in counts:
            for ripple in RIPPLES:
                worst, failures = check_design(cli, kind, sections, ripple)
                worst_all = max(worst_all, worst)
                for f in failures:
                    print(f"FAIL {kind} n={sections} Ac={ripple}: {f}")
                    failed += 1
    for args, text in REFUSALS:
        result = run(cli, "iir", *args)
        if result.returncode != 2 or text not in result.stderr or result.stdout:
            print(f"FAIL refusal {args}: exit {result.returncode}, stderr {result.stderr!r}")
            failed += 1
    print(f"largest relative deviation of the magnitude ratio: {worst_all:.3g}")
    if failed:
        print(f"{failed} failure(s)")
        return 1
    print("check_iir: all passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
