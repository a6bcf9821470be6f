#!/usr/bin/env python3
"""Cross-check of the frequency responses written by `--response` against scipy.

FIR: `vantrel-cli fir ... --response FILE` against scipy.signal.freqz of K*h (quantized as
truncation toward zero at B bits when --quantize is given) at the 360 points i degrees + 0.001 rad
(degree = pi/180); phase = the argument of H, wrapped to (-pi, pi]. IIR: `vantrel-cli iir ...
--response FILE` against scipy.signal.sosfreqz of the printed sections at the points
i * 3.1415926/180 + 0.001; the gain is the sum of the section gains in dB, the phase the sum of
the section arguments, wrapped to (-pi, pi] (the argument of the cascade).

Where the gain is (numerically) zero the argument is rounding noise; those points are not
compared, but every phase must still lie in (-pi, pi].

Usage: check_response.py PATH_TO_VANTREL_CLI
"""
import os
import subprocess
import sys
import tempfile

import numpy as np
from scipy import signal

POINTS = 360
FIR_DEGREE = 0.017453292519943295
IIR_DEGREE = 0.017453292222222222
OFFSET = 0.001
MAG_RELATIVE = 1e-9
MAG_ABSOLUTE = 1e-13
PHASE_TOLERANCE = 1e-8

FIR_CASES = [  # fir arguments; multiplier; quantize bits or None
    (["--type", "lpf", "--taps", "90"], 1, None),
    (["--type", "hpf", "--taps", "90"], 1, None),  # designed with 89 taps
    (["--type", "brf", "--taps", "61", "--edges", "150,200,300,350"], 1, None),
    (["--type", "bpf", "--taps", "80", "--edges", "100,150,250,300"], 1, None),
    (["--type", "lpf", "--taps", "31", "--mult", "2"], 2, None),
    (["--type", "lpf", "--taps", "45"], 1, 12),
    (["--type", "lpf", "--taps", "380", "--edges", "200,210"], 1, None),
    (["--type", "bpf", "--taps", "301", "--edges", "100,110,250,260"], 1, 24),
    (["--type", "bpf", "--taps", "40", "--edges", "100,150,250,300", "--mult", "3"], 3, 10),
]

IIR_CASES = [  # iir arguments; quantize bits or None
    (["--type", "lpf", "--sections", "1", "--cutoff", "200", "--ripple", "1"], None),
    (["--type", "lpf", "--sections", "8", "--cutoff", "100", "--ripple", "0.5"], None),
    (["--type", "hpf", "--sections", "5", "--cutoff", "300", "--ripple", "2"], None),
    (["--type", "brf", "--sections", "6", "--cutoff", "150,320", "--ripple", "1"], None),
    (["--type", "bpf", "--sections", "8", "--cutoff", "200,300", "--ripple", "0.3"], None),
    (["--type", "bpf", "--sections", "4", "--cutoff", "200,300", "--ripple", "0.3"], 16),
    (["--type", "lpf", "--sections", "3", "--cutoff", "120", "--ripple", "1"], 8),
]


def run(cli, *args):
    result = subprocess.run([cli, *args], capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"{args}: exit {result.returncode}: {result.stderr}")
    return result.stdout


def read_response(path):
    rows = np.loadtxt(path)
    if rows.shape != (POINTS, 3) or not np.array_equal(rows[:, 0], np.arange(POINTS)):
        raise RuntimeError(f"{path}: expected {POINTS} lines 'index gain phase'")
    return rows[:, 1], rows[:, 2]


def quantize(values, bits):
    scale = 2.0 ** (bits - 1)
    return np.trunc(values * scale) / scale


def wrap(p):
    """Wrap to (-pi, pi]."""
    r = np.remainder(p + np.pi, 2 * np.pi) - np.pi
    return np.where(r <= -np.pi, r + 2 * np.pi, r)


def compare(label, gain, phase, ref_mag, ref_phase):
    failures = []
    mag = 10 ** (gain / 20)
    bad_mag = np.abs(mag - ref_mag) > MAG_ABSOLUTE + MAG_RELATIVE * ref_mag
    if bad_mag.any():
        i = int(np.argmax(bad_mag))
        failures.append(f"{label}: gain at point {i}: {gain[i]} dB, scipy "
                        f"{20 * np.log10(ref_mag[i])} dB")
    # A phase right at pi may come out as the rounding neighbour of -pi in the reference: compare
    # the difference modulo 2 pi (never modulo pi, which would hide a phase off by pi).
    diff = np.angle(np.exp(1j * (phase - ref_phase)))
    checked = ref_mag > 1e-6
    bad_phase = checked & (np.abs(diff) > PHASE_TOLERANCE)
    if bad_phase.any():
        i = int(np.argmax(bad_phase))
        failures.append(f"{label}: phase at point {i}: {phase[i]}, expected {ref_phase[i]}")
    outside = ~((phase > -np.pi) & (phase <= np.pi))
    if outside.any():
        i = int(np.argmax(outside))
        failures.append(f"{label}: phase at point {i}: {phase[i]} outside (-pi, pi]")
    return failures


def without_mult(args):
    """The design arguments without --mult K: the printed taps of that design are h, those of
    the design with it K * h."""
    if "--mult" not in args:
        return list(args)
    i = args.index("--mult")
    return list(args[:i]) + list(args[i + 2:])


def check_fir(cli, folder, args, mult, bits):
    taps = np.array([float(v) for v in run(cli, "fir", *without_mult(args)).split()])
    path = os.path.join(folder, "fir.txt")
    extra = ["--quantize", str(bits)] if bits else []
    run(cli, "fir", *args, *extra, "--response", path)
    gain, phase = read_response(path)
    q = mult * taps
    if bits:
        q = quantize(q, bits)
    w = np.arange(POINTS) * FIR_DEGREE + OFFSET
    _, h = signal.freqz(q, worN=w)
    return compare(f"fir {args} q={bits}", gain, phase, np.abs(h), wrap(np.angle(h)))


def check_iir(cli, folder, args, bits):
    extra = ["--quantize", str(bits)] if bits else []
    path = os.path.join(folder, "iir.txt")
    # With --quantize the printed sections are the quantized values the response uses.
    rows = [[float(v) for v in line.split()]
            for line in run(cli, "iir", *args, *extra, "--response", path).splitlines()]
    gain, phase = read_response(path)
    sections = int(args[args.index("--sections") + 1])
    w = np.arange(POINTS) * IIR_DEGREE + OFFSET
    sos = np.array([[a0, a1, a2, 1.0, b1, b2] for a0, a1, a2, b1, b2 in rows[:sections]])
    _, h = signal.sosfreqz(sos, worN=w)
    return compare(f"iir {args} q={bits}", gain, phase, np.abs(h), wrap(np.angle(h)))


def main():
    cli = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        for args, mult, bits in FIR_CASES:
            failures += check_fir(cli, folder, args, mult, bits)
        for args, bits in IIR_CASES:
            failures += check_iir(cli, folder, args, bits)
    for f in failures:
        print("FAIL", f)
    if failures:
        return 1
    print(f"check_response: {len(FIR_CASES)} FIR and {len(IIR_CASES)} IIR responses agree")
    return 0


if __name__ == "__main__":
    sys.exit(main())
