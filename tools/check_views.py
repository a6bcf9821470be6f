#!/usr/bin/env python3
"""Cross-check of the filter views printed by `--table` against scipy and numpy.

For FIR and IIR designs of all four types, quantized (--quantize B) and not:
- groupdelay: "FREQ_HZ DELAY_SAMPLES" at the 360 response points (FIR: i degrees + 0.001 rad,
  IIR: i * 3.1415926/180 + 0.001) against scipy.signal.group_delay of the taps (FIR), or the
  sum of scipy.signal.group_delay over the printed sections (IIR); within 1e-9 of max(1, |ref|)
  plus the rounding bound of the formula where |H| is small (near a zero of the response two
  correct evaluations differ by about eps * sum n |h_n| / |H|).
- polezero: "zero RE IM" / "pole RE IM" matched as sets (optimal assignment) against numpy.roots
  of the taps (FIR) or scipy.signal.tf2zpk of each section (IIR); within 1e-9 of max(1, |ref|),
  except FIR zeros of polynomials above degree 60, where the companion-matrix roots of both
  sides differ by more: these must agree within 1e-6 (the worst difference is printed).
- impulse and step: "N VALUE" against scipy.signal.lfilter of the taps, or of the sections in
  cascade, over N' (FIR) or 400 (IIR) samples; within 1e-9 of the largest |value|.
- an IIR whose quantized coefficients put a pole on or outside the unit circle: the polezero table
  ends with "unstable: section k" and every table says so on standard error.

Usage: check_views.py PATH_TO_VANTREL_CLI
"""
import os
import subprocess
import sys
import tempfile

import numpy as np
from scipy import optimize, signal

FS = 1000.0
POINTS = 360
FIR_DEGREE = 0.017453292519943295
IIR_DEGREE = 0.017453292222222222
OFFSET = 0.001
RELATIVE = 1e-9
HIGH_DEGREE = 60
HIGH_DEGREE_TOLERANCE = 1e-6
IIR_SAMPLES = 400
ROUNDING_FACTOR = 4

FIR_CASES = [  # the command and its arguments up to the coefficient actions
    ["fir", "--fs", "1000", "--type", "lpf", "--taps", "45"],
    ["fir", "--fs", "1000", "--type", "hpf", "--taps", "90"],  # an even count: N' = 90
    ["fir", "--fs", "1000", "--type", "brf", "--taps", "61", "--edges", "150,200,300,350"],
    ["fir", "--fs", "1000", "--type", "bpf", "--taps", "80", "--edges", "100,150,250,300"],
    ["fir", "--fs", "1000", "--type", "lpf", "--taps", "380", "--edges", "200,210"],
    ["load", "{asymmetric}", "--structure", "fir"],
]
IIR_CASES = [
    ["iir", "--fs", "1000", "--type", "lpf", "--sections", "3", "--cutoff", "200", "--ripple", "1"],
    ["iir", "--fs", "1000", "--type", "hpf", "--sections", "5", "--cutoff", "300", "--ripple", "2"],
    ["iir", "--fs", "1000", "--type", "brf", "--sections", "6", "--cutoff", "150,320",
     "--ripple", "1"],
    ["iir", "--fs", "1000", "--type", "bpf", "--sections", "8", "--cutoff", "200,300",
     "--ripple", "0.3"],
]
BITS = [None, 12]
# A loaded FIR filter whose taps are not symmetric: its delay varies with frequency.
ASYMMETRIC_TAPS = [0.05, 0.3, 0.6, 0.25, -0.1, 0.04, 0.01]
# A loaded cascade whose second section is stable (|b1| < 1 + b2 by 1e-5) until 8-bit truncation
# takes b2 to 0.5: then it has a pole at z = 1.
UNSTABLE_SECTIONS = [[0.25, 0.5, 0.25, -0.6, 0.2], [0.1, 0.2, 0.1, -1.5, 0.50001]] + \
    [[1.0, 0.0, 0.0, 0.0, 0.0]] * 6
UNSTABLE_BITS = 8


def run(cli, *args):
    result = subprocess.run([cli, *args], capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"{args}: exit {result.returncode}: {result.stderr}")
    return result.stdout, result.stderr


def quantize(values, bits):
    scale = 2.0 ** (bits - 1)
    return np.trunc(np.asarray(values) * scale) / scale


def table(cli, command, bits, word):
    extra = ["--quantize", str(bits)] if bits else []
    out, err = run(cli, *command, *extra, "--table", word)
    return out.splitlines(), err


def write_real_file(path, values):
    with open(path, "w") as f:
        f.write("Data is Real : 1.0 => 1.0\n")
        f.writelines(f"{v!r}\n" for v in values)


def worst_relative(ours, ref, scale):
    return float(np.max(np.abs(ours - ref) / scale)) if len(ref) else 0.0


def match_roots(ours, ref):
    """Largest distance over the optimal pairing, relative to max(1, |ref|)."""
    if len(ours) != len(ref):
        return np.inf
    if not len(ref):
        return 0.0
    cost = np.abs(ours[:, None] - ref[None, :])
    rows, cols = optimize.linear_sum_assignment(cost)
    return float(np.max(cost[rows, cols] / np.maximum(1.0, np.abs(ref[cols]))))


def parse_roots(lines):
    roots = {"zero": [], "pole": []}
    unstable = []
    for line in lines:
        words = line.split()
        if words[0] in roots:
            roots[words[0]].append(complex(float(words[1]), float(words[2])))
        else:
            unstable.append(line)
    return np.array(roots["zero"]), np.array(roots["pole"]), unstable


def parse_pairs(lines):
    rows = np.array([[float(v) for v in line.split()] for line in lines])
    return rows[:, 0], rows[:, 1]


def rounding_bound(p, w):
    """How far rounding can move the delay of sum p_n e^-jwn at w: evaluating the two sums of
    Re{sum n p_n e^-jwn / P} rounds each by about eps times its terms' sizes, divided by |P|.
    Near a zero of the response this is what two correct evaluations may differ by."""
    p = np.asarray(p, dtype=float)
    n = np.arange(len(p))
    value = np.abs(np.polyval(p[::-1], np.exp(-1j * w)))
    sizes = np.sum(n * np.abs(p)) + np.abs(np.real(
        np.polyval((n * p)[::-1], np.exp(-1j * w)) / np.polyval(p[::-1], np.exp(-1j * w)))) * \
        np.sum(np.abs(p))
    return ROUNDING_FACTOR * np.finfo(float).eps * len(p) * sizes / np.maximum(value, 1e-300)


def check(label, worst, tolerance, failures):
    if not worst <= tolerance:
        failures.append(f"{label}: off by {worst:.3g} (tolerance {tolerance:g})")


def check_fir(cli, command, bits, failures):
    out, _ = run(cli, *command)
    taps = np.array([float(v) for v in out.split()])
    if bits:
        taps = quantize(taps, bits)
    label = f"{' '.join(command)} q={bits}"

    freq, delay = parse_pairs(table(cli, command, bits, "groupdelay")[0])
    w = np.arange(POINTS) * FIR_DEGREE + OFFSET
    check(label + " groupdelay frequencies", worst_relative(freq, w * FS / (2 * np.pi), FS), 1e-12,
          failures)
    _, ref = signal.group_delay((taps, [1.0]), w=w)
    scale = RELATIVE * np.maximum(1.0, np.abs(ref)) + rounding_bound(taps, w)
    check(label + " groupdelay", worst_relative(delay, ref, scale), 1.0, failures)

    zeros, poles, _ = parse_roots(table(cli, command, bits, "polezero")[0])
    worst = match_roots(zeros, np.roots(taps))
    degree = len(np.trim_zeros(taps, "f")) - 1
    if degree > HIGH_DEGREE:
        print(f"{label}: zeros of degree {degree} agree with numpy.roots within {worst:.3g}")
    check(label + " zeros", worst, HIGH_DEGREE_TOLERANCE if degree > HIGH_DEGREE else RELATIVE,
          failures)
    if len(poles):
        failures.append(label + ": a FIR filter has no poles")

    for word, x in (("impulse", np.r_[1.0, np.zeros(len(taps) - 1)]), ("step", np.ones(len(taps)))):
        n, values = parse_pairs(table(cli, command, bits, word)[0])
        ref = signal.lfilter(taps, [1.0], x)
        if not np.array_equal(n, np.arange(len(taps))):
            failures.append(f"{label} {word}: expected N = 0..{len(taps) - 1}")
            continue
        check(f"{label} {word}", worst_relative(values, ref, max(1e-300, np.max(np.abs(ref)))),
              RELATIVE, failures)


def sections_of(cli, command, bits, count):
    extra = ["--quantize", str(bits)] if bits else []
    out, _ = run(cli, *command, *extra)
    return [[float(v) for v in line.split()] for line in out.splitlines()[:count]]


def check_iir(cli, command, bits, failures, count=None, expect_unstable=False):
    count = count or int(command[command.index("--sections") + 1])
    sections = sections_of(cli, command, bits, count)
    label = f"{' '.join(command)} q={bits}"

    freq, delay = parse_pairs(table(cli, command, bits, "groupdelay")[0])
    w = np.arange(POINTS) * IIR_DEGREE + OFFSET
    check(label + " groupdelay frequencies", worst_relative(freq, w * FS / (2 * np.pi), FS), 1e-12,
          failures)
    ref = sum(signal.group_delay(([a0, a1, a2], [1.0, b1, b2]), w=w)[1]
              for a0, a1, a2, b1, b2 in sections)
    scale = RELATIVE * np.maximum(1.0, np.abs(ref)) + sum(
        rounding_bound([a0, a1, a2], w) + rounding_bound([1.0, b1, b2], w)
        for a0, a1, a2, b1, b2 in sections)
    check(label + " groupdelay", worst_relative(delay, ref, scale), 1.0, failures)

    lines, err = table(cli, command, bits, "polezero")
    zeros, poles, notes = parse_roots(lines)
    ref_zeros, ref_poles = [], []
    unstable = []
    for k, (a0, a1, a2, b1, b2) in enumerate(sections, start=1):
        z, p, _ = signal.tf2zpk([a0, a1, a2], [1.0, b1, b2])
        ref_zeros += list(z)
        ref_poles += list(p)
        if np.max(np.abs(p)) >= 1.0 - 1e-12:
            unstable.append(f"unstable: section {k}")
    check(label + " zeros", match_roots(zeros, np.array(ref_zeros)), RELATIVE, failures)
    check(label + " poles", match_roots(poles, np.array(ref_poles)), RELATIVE, failures)
    if notes != unstable:
        failures.append(f"{label}: table flags {notes}, scipy's poles say {unstable}")
    if expect_unstable and not unstable:
        failures.append(f"{label}: expected an unstable section")
    if unstable and unstable[0] not in err:
        failures.append(f"{label}: standard error does not say '{unstable[0]}'")

    for word, x in (("impulse", np.r_[1.0, np.zeros(IIR_SAMPLES - 1)]),
                    ("step", np.ones(IIR_SAMPLES))):
        n, values = parse_pairs(table(cli, command, bits, word)[0])
        ref = x
        for a0, a1, a2, b1, b2 in sections:
            ref = signal.lfilter([a0, a1, a2], [1.0, b1, b2], ref)
        if not np.array_equal(n, np.arange(IIR_SAMPLES)):
            failures.append(f"{label} {word}: expected N = 0..{IIR_SAMPLES - 1}")
            continue
        check(f"{label} {word}", worst_relative(values, ref, np.max(np.abs(ref))), RELATIVE,
              failures)


def main():
    cli = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        asymmetric = os.path.join(folder, "asymmetric.txt")
        write_real_file(asymmetric, ASYMMETRIC_TAPS)
        unstable = os.path.join(folder, "unstable.txt")
        write_real_file(unstable, [v for section in UNSTABLE_SECTIONS for v in section])
        for command in FIR_CASES:
            command = [word.format(asymmetric=asymmetric) for word in command]
            for bits in BITS:
                check_fir(cli, command, bits, failures)
        for command in IIR_CASES:
            for bits in BITS:
                check_iir(cli, command, bits, failures)
        loaded = ["load", unstable, "--structure", "iir"]
        check_iir(cli, loaded, None, failures, count=8)
        check_iir(cli, loaded, UNSTABLE_BITS, failures, count=8, expect_unstable=True)
    for f in failures:
        print("FAIL", f)
    print(f"check_views: {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
