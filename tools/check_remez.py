#!/usr/bin/python3
"""Cross-checks `vantrel-cli fir` against scipy.signal.remez (grid density 16).

scipy stops at the optimum of its dense grid; this program goes on from there to the optimum of
the bands themselves, so its taps differ from scipy's in the last digits and its largest weighted
error E (65,537 points per band and the band edges) must be no larger than scipy's (to 1e-9 of
it). Up to 100 taps, E must also lie within 0.01 % of the optimum a linear programme finds
(lp_minimax.py). Where either side stops at its iteration cap, the weighted ripples are compared
within 2 %; when both stop there, that agreement is what counts.

usage: check_remez.py PATH/TO/vantrel-cli
"""
import os
import subprocess
import sys

import numpy as np
import scipy.signal as signal

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import lp_minimax as lp  # noqa: E402

AS_GOOD = 1e-9        # ours may exceed scipy's E by this fraction of it (rounding)
OPTIMUM_GAP = 1e-4    # 0.01 % of the LP optimum
LP_TAPS = 100         # the LP reference runs up to this many taps (it is slow beyond)
RIPPLE_TOLERANCE = 0.02

# type, fs, edges (Hz), taps as entered, RR
CASES = [
    ("lpf", 1000, [200, 250], 90, 10),
    ("lpf", 1000, [200, 250], 31, 10),
    ("lpf", 1000, [100, 150], 30, 1),
    ("lpf", 8000, [1000, 1500], 57, 100),
    ("lpf", 48000, [4000, 6000], 64, 3.5),
    ("lpf", 1000, [50, 100], 120, 20),
    ("lpf", 1000, [200, 210], 201, 1),
    ("hpf", 1000, [200, 250], 31, 10),
    ("hpf", 1000, [100, 150], 51, 1),
    ("hpf", 44100, [3000, 5000], 75, 50),
    ("hpf", 1000, [300, 340], 81, 100),
    ("brf", 1000, [200, 250, 350, 400], 61, 10),
    ("brf", 1000, [100, 150, 300, 350], 41, 1),
    ("brf", 2000, [300, 400, 600, 700], 71, 30),
    ("brf", 1000, [120, 160, 250, 290], 95, 100),
    ("bpf", 1000, [200, 250, 350, 400], 60, 10),
    ("bpf", 1000, [200, 250, 350, 400], 61, 1),
    ("bpf", 1000, [100, 140, 300, 340], 80, 5),
    ("bpf", 16000, [2000, 2500, 4000, 4500], 47, 100),
    ("bpf", 1000, [150, 175, 250, 275], 120, 2),
    ("lpf", 1000, [200, 210], 380, 10),
    ("bpf", 1000, [100, 130, 300, 330], 150, 40),
    ("hpf", 1000, [240, 250], 301, 1),
]


def layout(kind, fs, edges, rr):
    if kind == "lpf":
        return [0, edges[0], edges[1], fs / 2], [1, 0], [1, rr]
    if kind == "hpf":
        return [0, edges[0], edges[1], fs / 2], [0, 1], [rr, 1]
    if kind == "brf":
        return [0] + edges + [fs / 2], [1, 0, 1], [1, rr, 1]
    return [0] + edges + [fs / 2], [0, 1, 0], [rr, 1, rr]


def weighted_ripple(h, bands, desired, weights, fs):
    """Largest weighted error of the zero-phase amplitude over all bands, on a fine grid."""
    n = len(h)
    k = np.arange(n) - (n - 1) / 2.0
    worst = 0.0
    for b, (d, w) in enumerate(zip(desired, weights)):
        f = np.linspace(bands[2 * b], bands[2 * b + 1], 4000) / fs
        amplitude = np.cos(2 * np.pi * np.outer(f, k)) @ h
        worst = max(worst, w * np.max(np.abs(amplitude - d)))
    return worst


def main():
    cli = sys.argv[1]
    failures = 0
    for kind, fs, edges, taps, rr in CASES:
        args = [cli, "fir", "--type", kind, "--fs", str(fs), "--edges",
                ",".join(str(e) for e in edges), "--taps", str(taps), "--rr", str(rr)]
        run = subprocess.run(args, capture_output=True, text=True)
        label = f"{kind} fs={fs} edges={edges} N={taps} RR={rr}"
        if run.returncode != 0:
            print(f"FAIL {label}: vantrel-cli exit {run.returncode}: {run.stderr.strip()}")
            failures += 1
            continue
        ours_capped = "Reached maximum iteration count" in run.stderr
        h = np.array([float(v) for v in run.stdout.split()])
        # HPF and BRF design an even entered count with one tap fewer; the listed extra tap is 0.
        designed = taps - 1 if kind in ("hpf", "brf") and taps % 2 == 0 else taps
        if len(h) != taps or np.any(h[designed:] != 0):
            print(f"FAIL {label}: listed {len(h)} taps")
            failures += 1
            continue
        h = h[:designed]
        bands, desired, weights = layout(kind, fs, edges, rr)
        try:
            ref = signal.remez(designed, bands, desired, weight=weights, fs=fs,
                               grid_density=16, maxiter=40)
            ref_capped = False
        except ValueError:
            ref = signal.remez(designed, bands, desired, weight=weights, fs=fs,
                               grid_density=16, maxiter=400)
            ref_capped = True
        if ours_capped and ref_capped:
            ok = True
            print(f"ok   {label}: both stop at the iteration cap of 40")
        elif ours_capped or ref_capped:
            ours_ripple = weighted_ripple(h, bands, desired, weights, fs)
            ref_ripple = weighted_ripple(ref, bands, desired, weights, fs)
            rel = abs(ours_ripple - ref_ripple) / ref_ripple
            ok = rel <= RIPPLE_TOLERANCE
            print(f"{'ok  ' if ok else 'FAIL'} {label}: iteration cap, weighted ripple "
                  f"{ours_ripple:.6g} vs scipy {ref_ripple:.6g} ({rel:.2%})")
        else:
            problem = lp.filter_type(kind, fs, edges, taps, rr)
            ours = lp.weighted_error(problem, h)
            theirs = lp.weighted_error(problem, ref)
            ok = ours <= theirs * (1 + AS_GOOD)
            text = f"E {ours:.9g}, scipy {theirs:.9g} ({ours / theirs - 1:+.2e})"
            if ok and designed <= LP_TAPS:
                lower, upper, _ = lp.lp_optimum(problem)
                gap = ours / lower - 1
                ok = gap <= OPTIMUM_GAP and upper <= lower * (1 + 1e-6)
                text += f", LP optimum {lower:.9g} ({gap:+.2e})"
            diff = float(np.max(np.abs(h - ref)))
            print(f"{'ok  ' if ok else 'FAIL'} {label}: {text}, taps differ by {diff:.2g}")
        failures += 0 if ok else 1
    print(f"{len(CASES) - failures} of {len(CASES)} cases at least as good as scipy.signal.remez")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
