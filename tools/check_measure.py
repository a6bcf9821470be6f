#!/usr/bin/env python3
"""Cross-check of `vantrel-cli fir|iir ... --measure` against scipy.

The coefficients are taken from the same command without --measure (the taps, or the eight
sections "a0 a1 a2 b1 b2", quantized when --quantize is given). scipy.signal.freqz (FIR, taps
times the multiplier K) or sosfreqz (IIR) evaluates them on a grid eight times denser than the
measurement's, plus the band edges; each band's minimum and maximum gain must agree within
0.05 dB. FIR band edges must be the design's edges. An IIR stop band must begin where the
unquantized gain first falls to -20 dB moving away from the pass band: -20 dB at its inner edge,
above -20 dB everywhere between the pass band and that edge.

Usage: check_measure.py PATH_TO_VANTREL_CLI
"""
import subprocess
import sys

import numpy as np
from scipy import signal

TOLERANCE_DB = 0.05
DENSE = 8 * 8192

FIR_CASES = [  # arguments, fs, multiplier, expected bands (pass?, lo, hi)
    (["--type", "lpf", "--taps", "90"], 1000, 1, [(1, 0, 200), (0, 250, 500)]),
    (["--type", "lpf", "--taps", "45", "--quantize", "12"], 1000, 1, [(1, 0, 200), (0, 250, 500)]),
    (["--type", "hpf", "--taps", "61", "--fs", "48000", "--edges", "6000,8000"], 48000, 1,
     [(0, 0, 6000), (1, 8000, 24000)]),
    (["--type", "brf", "--taps", "61", "--edges", "150,200,300,350", "--quantize", "10"], 1000, 1,
     [(1, 0, 150), (0, 200, 300), (1, 350, 500)]),
    (["--type", "bpf", "--taps", "80", "--edges", "100,150,250,300", "--mult", "2"], 1000, 2,
     [(0, 0, 100), (1, 150, 250), (0, 300, 500)]),
    (["--type", "lpf", "--taps", "380", "--edges", "200,210", "--quantize", "16"], 1000, 1,
     [(1, 0, 200), (0, 210, 500)]),
]

IIR_CASES = [  # arguments, fs, type
    (["--type", "lpf", "--sections", "2"], 1000, "lpf"),
    (["--type", "lpf", "--sections", "5", "--cutoff", "100", "--quantize", "12"], 1000, "lpf"),
    (["--type", "hpf", "--sections", "3", "--cutoff", "150", "--ripple", "1"], 1000, "hpf"),
    (["--type", "brf", "--sections", "4", "--cutoff", "200,300"], 1000, "brf"),
    (["--type", "bpf", "--sections", "8", "--cutoff", "2000,3000", "--fs", "16000",
      "--quantize", "20"], 16000, "bpf"),
]


def cli_lines(cli, args):
    p = subprocess.run([cli] + args, capture_output=True, text=True)
    if p.returncode != 0:
        raise RuntimeError("vantrel-cli %s exited %d: %s" % (" ".join(args), p.returncode, p.stderr))
    return [line.split() for line in p.stdout.splitlines() if line.strip()]


def measured_bands(cli, structure, args):
    bands = []
    for words in cli_lines(cli, [structure] + args + ["--measure"]):
        values = [float(w) for w in words[1:]]
        if words[0] == "pass":
            bands.append((True, values[0], values[1], values[2], values[3]))
        else:
            bands.append((False, values[0], values[1], None, values[2]))
    return bands


def gain_db(structure, coeffs, freqs, fs):
    if structure == "fir":
        _, h = signal.freqz(coeffs, worN=freqs, fs=fs)
    else:
        _, h = signal.sosfreqz(coeffs, worN=freqs, fs=fs)
    with np.errstate(divide="ignore"):
        return 20 * np.log10(np.abs(h))


def band_extremes(structure, coeffs, lo, hi, fs):
    freqs = np.concatenate(([lo, hi], np.linspace(0, fs / 2, DENSE + 1)))
    freqs = freqs[(freqs >= lo) & (freqs <= hi)]
    g = gain_db(structure, coeffs, freqs, fs)
    return g.min(), g.max()


def compare(label, structure, coeffs, fs, bands):
    errors = []
    for passband, lo, hi, lowest, highest in bands:
        ref_lo, ref_hi = band_extremes(structure, coeffs, lo, hi, fs)
        if abs(ref_hi - highest) > TOLERANCE_DB:
            errors.append("%s band %g..%g: max %.6f, scipy %.6f" % (label, lo, hi, highest, ref_hi))
        if passband and abs(ref_lo - lowest) > TOLERANCE_DB:
            errors.append("%s band %g..%g: min %.6f, scipy %.6f" % (label, lo, hi, lowest, ref_lo))
    return errors


def without_mult(args):
    """The design arguments without --mult K: the printed taps of that design are h, those of
    the design with it K * h."""
    if "--mult" not in args:
        return list(args)
    i = args.index("--mult")
    return list(args[:i]) + list(args[i + 2:])


def check_fir(cli, args, fs, mult, expected):
    label = "fir " + " ".join(args)
    taps = np.array([float(w[0]) for w in cli_lines(cli, ["fir"] + without_mult(args))]) * mult
    bands = measured_bands(cli, "fir", args)
    if [(int(b[0]), b[1], b[2]) for b in bands] != [(p, float(lo), float(hi)) for p, lo, hi in expected]:
        return ["%s: bands %s, expected %s" % (label, [b[:3] for b in bands], expected)]
    return compare(label, "fir", taps, fs, bands)


def check_iir(cli, args, fs, ftype):
    label = "iir " + " ".join(args)
    sections = int(args[args.index("--sections") + 1])
    rows = [[float(v) for v in w] for w in cli_lines(cli, ["iir"] + args)][:sections]
    sos = np.array([[a0, a1, a2, 1.0, b1, b2] for a0, a1, a2, b1, b2 in rows])
    unquantized = [i for i, a in enumerate(args) if a == "--quantize"]
    plain_args = args if not unquantized else args[:unquantized[0]] + args[unquantized[0] + 2:]
    plain_rows = [[float(v) for v in w] for w in cli_lines(cli, ["iir"] + plain_args)][:sections]
    plain_sos = np.array([[a0, a1, a2, 1.0, b1, b2] for a0, a1, a2, b1, b2 in plain_rows])
    bands = measured_bands(cli, "iir", args)
    errors = compare(label, "iir", sos, fs, bands)
    # Every stop band begins at -20 dB of the unquantized gain, and the gain stays above -20 dB
    # between the pass band and that point.
    cut = [b for b in bands if b[0]]
    for passband, lo, hi, _, _ in bands:
        if passband:
            continue
        inner = lo if lo > 0 else hi
        if ftype == "brf":
            inner_points = [lo, hi]
            pass_edges = [cut[0][2], cut[1][1]]
        else:
            inner_points = [inner]
            if lo > 0:  # above the pass band: its nearest edge below
                pass_edges = [max(e for c in cut for e in c[1:3] if e <= lo)]
            else:
                pass_edges = [min(e for c in cut for e in c[1:3] if e >= hi)]
        for point, edge in zip(inner_points, pass_edges):
            at = gain_db("iir", plain_sos, np.array([point]), fs)[0]
            between = np.linspace(min(point, edge), max(point, edge), 4001)[1:-1]
            above = gain_db("iir", plain_sos, between, fs)
            if abs(at + 20) > 1e-6 or above.min() <= -20:
                errors.append("%s: stop band edge %g: %.9f dB there, %.6f dB lowest between it "
                              "and the pass band" % (label, point, at, above.min()))
    if len(bands) != {"lpf": 2, "hpf": 2, "brf": 3, "bpf": 3}[ftype]:
        errors.append("%s: %d bands" % (label, len(bands)))
    return errors


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    cli = sys.argv[1]
    errors = []
    for args, fs, mult, expected in FIR_CASES:
        errors += check_fir(cli, args, fs, mult, expected)
    for args, fs, ftype in IIR_CASES:
        errors += check_iir(cli, args, fs, ftype)
    for e in errors:
        print("FAILED", e)
    print("%d FIR and %d IIR designs measured, %d mismatches"
          % (len(FIR_CASES), len(IIR_CASES), len(errors)))
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
