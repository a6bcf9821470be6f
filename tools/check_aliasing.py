#!/usr/bin/env python3
"""Cross-check of the aliasing line of `vantrel-cli fir ... --decimate M --measure` against scipy.

The bands that fold onto the pass band after decimation by M are k*fs/M - b .. k*fs/M - a and
k*fs/M + a .. k*fs/M + b for each pass band [a, b] and k = 1, 2, ..., within 0..fs/2 (an
interpolator's images lie in the same bands). The taps come from the same command without
--measure (quantized when --quantize is given); scipy.signal.freqz evaluates them on a grid far
denser than the measurement's, plus the band edges, and the largest gain there must agree with
"aliasing_attenuation_db X" (or "imaging_attenuation_db X") as -X within 0.05 dB. A single-rate
design's --measure output has no such line.

Usage: check_aliasing.py PATH_TO_VANTREL_CLI
"""
import subprocess
import sys

import numpy as np
from scipy import signal

TOLERANCE_DB = 0.05
DENSE = 8 * 8192

CASES = [  # design arguments, fs, pass bands (Hz), rate option, factor
    (["--type", "lpf", "--edges", "40,80", "--taps", "61"], 1000, [(0, 40)], "--decimate", 8),
    (["--type", "lpf", "--edges", "40,80", "--taps", "61", "--quantize", "12"], 1000,
     [(0, 40)], "--decimate", 5),
    (["--type", "bpf", "--fs", "8000", "--edges", "800,1000,2000,2200", "--taps", "61"], 8000,
     [(1000, 2000)], "--decimate", 3),
    (["--type", "hpf", "--edges", "200,250", "--taps", "45"], 1000, [(250, 500)], "--decimate", 2),
    (["--type", "brf", "--edges", "100,150,300,350", "--taps", "61"], 1000,
     [(0, 100), (350, 500)], "--interpolate", 4),
    (["--type", "lpf", "--edges", "100,150", "--taps", "31"], 1000, [(0, 100)], "--interpolate",
     3),
]


def run(cli, args):
    p = subprocess.run([cli] + args, capture_output=True, text=True)
    if p.returncode != 0:
        sys.exit(f"FAIL: {' '.join(args)}: exit {p.returncode}: {p.stderr}")
    return p.stdout.split("\n")


def folded_bands(passes, fs, factor):
    half = fs / 2
    bands = []
    for a, b in passes:
        k = 1
        while k * fs / factor - b < half:
            c = k * fs / factor
            for lo, hi in ((c - b, c - a), (c + a, c + b)):
                lo, hi = max(lo, 0.0), min(hi, half)
                if hi > lo:
                    bands.append((lo, hi))
            k += 1
    return bands


def worst_gain_db(taps, fs, bands):
    freqs = np.linspace(0, fs / 2, DENSE + 1)
    edges = np.array([f for band in bands for f in band])
    worst = -np.inf
    for f in (freqs, edges):
        _, h = signal.freqz(taps, worN=f, fs=fs)
        gain = 20 * np.log10(np.maximum(np.abs(h), 1e-300))
        inside = np.zeros(len(f), dtype=bool)
        for lo, hi in bands:
            inside |= (f >= lo) & (f <= hi)
        if inside.any():
            worst = max(worst, gain[inside].max())
    return worst


def main():
    cli = sys.argv[1]
    failures = 0
    for args, fs, passes, option, factor in CASES:
        label = " ".join(args + [option, str(factor)])
        taps = np.array([float(line) for line in run(cli, ["fir"] + args) if line.strip()])
        lines = run(cli, ["fir"] + args + [option, str(factor), "--measure"])
        name = "aliasing_attenuation_db" if option == "--decimate" else "imaging_attenuation_db"
        found = [line.split() for line in lines if line.startswith(name + " ")]
        if len(found) != 1:
            print(f"FAIL {label}: expected one '{name}' line, got {lines}")
            failures += 1
            continue
        reported = -float(found[0][1])
        expected = worst_gain_db(taps, fs, folded_bands(passes, fs, factor))
        if abs(reported - expected) > TOLERANCE_DB:
            print(f"FAIL {label}: largest folded gain {reported:.4f} dB, scipy {expected:.4f} dB")
            failures += 1
        single = run(cli, ["fir"] + args + ["--measure"])
        if any("attenuation_db" in line for line in single):
            print(f"FAIL {label}: a single-rate report names aliasing")
            failures += 1
    if failures:
        sys.exit(f"{failures} failure(s)")
    print(f"ok: {len(CASES)} rate changes")


if __name__ == "__main__":
    main()
