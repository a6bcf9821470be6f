#!/usr/bin/env python3
"""Cross-check of `vantrel-cli fir --halfband` against scipy.signal.

The exact half-band low pass of N = 4k + 3 taps with its pass band 0..FP and its stop band
fs/2 - FP..fs/2 is built from g = scipy.signal.remez((N + 1) / 2, [0, 2 FP], [1], fs=fs):
h[0::2] = g / 2 and h[(N - 1) / 2] = 1/2. For random cases the printed taps must equal it within
1e-6 of the largest tap, every other tap beside the centre must be exactly 0 and the centre
exactly 1/2, also after quantization (the quantized listing in decimal: 0 and 2^(B-2)).
From requirements (--ap --as) the chosen count must meet both, measured with scipy on a dense
grid, and the count 4 below it must not. Counts other than 4k + 3, a pass edge at or above fs/4
and a type other than a low pass are refused with exit status 2.

Usage: check_halfband.py PATH_TO_VANTREL_CLI
"""
import random
import subprocess
import sys
import warnings

import numpy as np
from scipy import signal

TOLERANCE = 1e-6
COUNTS = {"scipy did not converge": 0}


def run(cli, *args):
    return subprocess.run([cli, *args], capture_output=True, text=True)


def reference(n, fp, fs):
    """The construction from scipy's exchange; None where scipy's does not converge."""
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        try:
            g = signal.remez((n + 1) // 2, [0.0, 2.0 * fp], [1.0], fs=fs)
        except ValueError:
            return None
    h = np.zeros(n)
    h[0::2] = g / 2.0
    h[(n - 1) // 2] = 0.5
    return h


def deviations(h, fp, fs):
    """The largest deviation in the pass band (from 1) and in the stop band (from 0)."""
    f = np.concatenate([np.linspace(0.0, fp, 8193), np.linspace(fs / 2 - fp, fs / 2, 8193)])
    _, resp = signal.freqz(h, worN=f, fs=fs)
    mag = np.abs(resp)
    return np.max(np.abs(mag[:8193] - 1.0)), np.max(mag[8193:])


def check_taps(cli, rng):
    fs = rng.choice([1.0, 8000.0, 48000.0, 100e6])
    n = 4 * rng.randint(1, 60) + 3 if rng.random() < 0.85 else 4 * rng.randint(60, 94) + 3
    # A transition band (fs/2 - 2 FP) whose Kaiser estimate stays below about 190 dB: finer
    # ripples than that no exchange in double precision levels.
    width = rng.uniform(0.02, min(0.4, 13.0 / (n - 1)))
    fp = round((0.5 - width) / 2 * fs, 6)
    args = ["fir", "--halfband", "--fs", repr(fs), "--edges", repr(fp), "--taps", str(n)]
    result = run(cli, *args)
    if result.returncode != 0:
        return args, "exit %d: %s" % (result.returncode, result.stderr.strip())
    ours = np.array([float(v) for v in result.stdout.split()])
    theirs = reference(n, fp, fs)
    if len(ours) != n:
        return args, "%d taps printed, %d expected" % (len(ours), n)
    centre = (n - 1) // 2
    odd = [i for i in range(1, n, 2) if i != centre]
    if any(ours[i] != 0.0 for i in odd) or ours[centre] != 0.5:
        return args, "a tap that must be exactly 0 or 1/2 is not"
    if theirs is None:
        COUNTS["scipy did not converge"] += 1
        theirs = ours
    error = np.max(np.abs(ours - theirs)) / np.max(np.abs(theirs))
    if error > TOLERANCE:
        # scipy's exchange can stop short on a grid point; then ours must not be worse.
        ours_dev = max(deviations(ours, fp, fs))
        theirs_dev = max(deviations(theirs, fp, fs))
        if ours_dev > theirs_dev * (1 + 1e-6):
            return args, "taps off by %.3g of the largest and ripple %.6g above scipy's %.6g" % (
                error, ours_dev, theirs_dev)
    bits = rng.randint(8, 24)
    result = run(cli, *args, "--quantize", str(bits), "--report", "--format", "dec")
    if result.returncode != 0:
        return args + ["--quantize", str(bits)], "exit %d: %s" % (result.returncode,
                                                                  result.stderr.strip())
    values = [int(t) for t in result.stdout.split() if t.lstrip("-").isdigit()]
    if len(values) < n:
        return args, "the quantized report lists %d integers, expected %d" % (len(values), n)
    values = values[-n:]
    if any(values[i] != 0 for i in odd) or values[centre] != 2 ** (bits - 2):
        return args + ["--quantize", str(bits)], "a quantized zero or centre tap moved"
    return args, None


def check_requirements(cli, rng):
    fs = 48000.0
    fp = round(rng.uniform(0.05, 0.22) * fs, 3)
    ap = round(rng.uniform(0.01, 1.0), 3)
    as_db = round(rng.uniform(30.0, 90.0), 1)
    args = ["fir", "--halfband", "--fs", repr(fs), "--edges", repr(fp), "--ap", repr(ap),
            "--as", repr(as_db)]
    result = run(cli, *args)
    if result.returncode == 3:
        return args, None  # beyond the largest count: nothing to compare
    if result.returncode != 0:
        return args, "exit %d: %s" % (result.returncode, result.stderr.strip())
    n = len(result.stdout.split())
    if n % 4 != 3:
        return args, "%d taps chosen, not 4k + 3" % n
    dp = (10 ** (ap / 20) - 1) / (10 ** (ap / 20) + 1)
    ds = 10 ** (-as_db / 20)
    limit = min(dp, ds)
    margin = 1e-4  # the two dense grids differ slightly at a ripple's peak

    def meets(count):
        h = reference(count, fp, fs)
        if h is None:
            return True  # scipy's exchange gives up only where the ripple is far below 1e-9
        pass_dev, stop_dev = deviations(h, fp, fs)
        return max(pass_dev, stop_dev) <= limit * (1 + margin)

    if not meets(n):
        return args, "the chosen %d taps do not meet Ap %.3f dB, As %.1f dB" % (n, ap, as_db)
    fewer = reference(n - 4, fp, fs) if n > 7 else None
    if fewer is not None and max(deviations(fewer, fp, fs)) <= limit * (1 - margin):
        return args, "%d taps meet them too, fewer than the chosen %d" % (n - 4, n)
    return args, None


def check_refusals(cli):
    failures = []
    for args in (["--taps", "9", "--edges", "100"], ["--taps", "11", "--edges", "250"],
                 ["--taps", "11", "--edges", "100", "--type", "hpf"],
                 ["--taps", "11", "--edges", "100,300"],
                 ["--taps", "11", "--edges", "100", "--method", "ls"]):
        full = ["fir", "--halfband", "--fs", "1000", *args]
        result = run(cli, *full)
        if result.returncode != 2 or not result.stderr.strip():
            failures.append((full, "exit %d, expected 2 with a reason" % result.returncode))
    return failures


def main():
    cli = sys.argv[1]
    rng = random.Random(20261209)
    failures = check_refusals(cli)
    for _ in range(40):
        args, why = check_taps(cli, rng)
        if why:
            failures.append((args, why))
    for _ in range(12):
        args, why = check_requirements(cli, rng)
        if why:
            failures.append((args, why))
    for args, why in failures:
        print("FAIL %s: %s" % (" ".join(args), why))
    print("%d failures (%s)" % (len(failures), ", ".join("%s: %d" % kv for kv in COUNTS.items())))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
