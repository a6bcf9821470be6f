#!/usr/bin/env python3
"""Cross-check of `vantrel-cli iir --method butter|cheby2|ellip|bessel` against scipy.signal.

For random cases of every type and section count the printed cascade must have the poles and
zeros of scipy's design of the same order (2n for lpf/hpf, n for brf/bpf) within 1e-6, and its
magnitude within 1e-4 dB of scipy's wherever scipy's is above -60 dB. The gain from the input to
every section's output must peak at 1 (scaled, no overflow inside the cascade). From
requirements (--ap --as --stop) the section count must be ceil(order / 2) (twice that for
brf/bpf) of scipy's buttord/cheb2ord/ellipord, and the design must meet the requirements.

Usage: check_iir_methods.py PATH_TO_VANTREL_CLI
"""
import subprocess
import sys

import numpy as np
from scipy import signal

FS = 1000.0
ROOT_TOLERANCE = 1e-6
GAIN_TOLERANCE_DB = 1e-4
FLOOR_DB = -60.0
WORST = {"poles": 0.0, "requirement sets": 0}
GRID = np.linspace(0.0005, 0.4995, 6000) * FS  # Hz
BTYPES = {"lpf": "lowpass", "hpf": "highpass", "brf": "bandstop", "bpf": "bandpass"}


def run(cli, *args):
    return subprocess.run([cli, *args], capture_output=True, text=True)


def parse_sections(text):
    rows = [[float(v) for v in line.split()] for line in text.splitlines()]
    if len(rows) != 8 or any(len(r) != 5 for r in rows):
        raise RuntimeError("expected 8 lines of 5 values")
    return np.array([[a0, a1, a2, 1.0, b1, b2] for a0, a1, a2, b1, b2 in rows])


def reference(method, order, cutoff, btype, ap, as_):
    wn = cutoff if len(cutoff) > 1 else cutoff[0]
    if method == "butter":
        return signal.butter(order, wn, btype=btype, output="zpk", fs=FS)
    if method == "cheby2":
        return signal.cheby2(order, as_, wn, btype=btype, output="zpk", fs=FS)
    if method == "ellip":
        return signal.ellip(order, ap, as_, wn, btype=btype, output="zpk", fs=FS)
    return signal.bessel(order, wn, btype=btype, output="zpk", norm="mag", fs=FS)


def roots_of(sos, part):
    found = []
    for row in sos:
        coeffs = row[0:3] if part == "zeros" else row[3:6]
        coeffs = np.trim_zeros(coeffs, "b")
        if len(coeffs) > 1:
            found.extend(np.roots(coeffs))
    return np.array(found)


def match_error(ours, theirs):
    """Largest distance after pairing every root of scipy's with its nearest unused one of ours."""
    if len(ours) != len(theirs):
        return np.inf
    left = list(ours)
    worst = 0.0
    for r in sorted(theirs, key=lambda x: (round(x.real, 9), round(x.imag, 9))):
        distances = [abs(r - o) for o in left]
        i = int(np.argmin(distances))
        worst = max(worst, distances[i])
        left.pop(i)
    return worst


def repeated_aware_error(ours, theirs):
    """Roots repeated k times (zeros at z = +-1) come out of np.roots only to about eps^(1/k):
    compare the polynomials they make instead."""
    return np.max(np.abs(np.poly(ours) - np.poly(theirs))) / max(1.0, np.max(np.abs(np.poly(theirs))))


def cumulative_peaks(sos, sections):
    w = np.linspace(0.0, np.pi, 20001)
    h = np.ones_like(w, dtype=complex)
    peaks = []
    for row in sos[:sections]:
        _, hs = signal.freqz(row[0:3], row[3:6], worN=w)
        h = h * hs
        peaks.append(np.max(np.abs(h)))
    return peaks


def check_design(cli, method, kind, sections, cutoff, ap, as_):
    args = ["iir", "--method", method, "--type", kind, "--fs", repr(FS), "--sections",
            str(sections), "--cutoff", ",".join(repr(f) for f in cutoff)]
    if method == "ellip":
        args += ["--ripple", repr(ap)]
    if method in ("cheby2", "ellip"):
        args += ["--atten", repr(as_)]
    result = run(cli, *args)
    if result.returncode != 0:
        return [f"exit {result.returncode}: {result.stderr.strip()}"], 0.0
    sos = parse_sections(result.stdout)
    failures = []
    rest = sos[sections:]
    if not np.array_equal(rest, np.tile([1.0, 0, 0, 1.0, 0, 0], (len(rest), 1))):
        failures.append("sections past n are not pass-through")
    order = sections if kind in ("brf", "bpf") else 2 * sections
    z, p, k = reference(method, order, cutoff, BTYPES[kind], ap, as_)
    pole_error = match_error(roots_of(sos[:sections], "poles"), p)
    WORST["poles"] = max(WORST["poles"], pole_error)
    if pole_error > ROOT_TOLERANCE:
        failures.append(f"poles off by {pole_error:.3g}")
    ours_z = roots_of(sos[:sections], "zeros")
    zero_error = match_error(ours_z, z)
    if zero_error > ROOT_TOLERANCE and repeated_aware_error(ours_z, z) > ROOT_TOLERANCE:
        failures.append(f"zeros off by {zero_error:.3g}")
    _, ours = signal.sosfreqz(sos[:sections], worN=GRID, fs=FS)
    _, theirs = signal.freqz_zpk(z, p, k, worN=GRID, fs=FS)
    theirs_db = 20 * np.log10(np.abs(theirs))
    shown = theirs_db > FLOOR_DB
    gain_error = np.max(np.abs(20 * np.log10(np.abs(ours[shown])) - theirs_db[shown]))
    if gain_error > GAIN_TOLERANCE_DB:
        failures.append(f"gain off by {gain_error:.3g} dB")
    peaks = cumulative_peaks(sos, sections)
    if max(peaks) > 1.0 + 1e-6:
        failures.append(f"a section's output peaks at {max(peaks):.9g} (above 1)")
    return failures, gain_error


ORD = {"butter": signal.buttord, "cheby2": signal.cheb2ord, "ellip": signal.ellipord}
REQUIREMENTS = [  # type, pass edges, stop edges, Ap, As
    ("lpf", [200.0], [250.0], 0.5, 40.0),
    ("lpf", [100.0], [180.0], 1.0, 60.0),
    ("hpf", [300.0], [220.0], 0.3, 50.0),
    ("bpf", [200.0, 300.0], [150.0, 360.0], 1.0, 40.0),
    ("brf", [120.0, 330.0], [180.0, 260.0], 0.5, 30.0),
]


def check_requirements(cli, method, kind, passes, stops, ap, as_):
    order, _ = ORD[method](passes if len(passes) > 1 else passes[0],
                           stops if len(stops) > 1 else stops[0], ap, as_, fs=FS)
    pairs = (order + 1) // 2
    expected = 2 * pairs if kind in ("brf", "bpf") else pairs
    result = run(cli, "iir", "--method", method, "--type", kind, "--fs", repr(FS),
                 "--cutoff", ",".join(repr(f) for f in passes),
                 "--stop", ",".join(repr(f) for f in stops), "--ap", repr(ap), "--as", repr(as_))
    if expected > 8:
        return [] if result.returncode == 3 else [f"exit {result.returncode}, expected 3"]
    if result.returncode != 0:
        return [f"exit {result.returncode}: {result.stderr.strip()}"]
    line = [t for t in result.stderr.splitlines() if t.startswith("sections ")]
    got = int(line[0].split()[1]) if line else -1
    WORST["requirement sets"] += 1
    if got != expected:
        return [f"{got} sections, scipy's order {order} gives {expected}"]
    sos = parse_sections(result.stdout)
    f, h = signal.sosfreqz(sos, worN=GRID, fs=FS)
    db = 20 * np.log10(np.maximum(np.abs(h), 1e-300))
    if kind == "lpf":
        in_pass, in_stop = f <= passes[0], f >= stops[0]
    elif kind == "hpf":
        in_pass, in_stop = f >= passes[0], f <= stops[0]
    elif kind == "bpf":
        in_pass = (f >= passes[0]) & (f <= passes[1])
        in_stop = (f <= stops[0]) | (f >= stops[1])
    else:
        in_pass = (f <= passes[0]) | (f >= passes[1])
        in_stop = (f >= stops[0]) & (f <= stops[1])
    peak = np.max(db[in_pass])
    ripple = peak - np.min(db[in_pass])
    attenuation = peak - np.max(db[in_stop])
    if ripple > ap + 1e-6 or attenuation < as_ - 1e-6:
        return [f"ripple {ripple:.6g} dB, attenuation {attenuation:.6g} dB: requirements not met"]
    return []


def main():
    cli = sys.argv[1]
    rng = np.random.default_rng(20261209)
    failed = 0
    worst = 0.0
    cases = 0
    for method in ("butter", "cheby2", "ellip", "bessel"):
        for kind in BTYPES:
            counts = [2, 4, 6, 8] if kind in ("brf", "bpf") else list(range(1, 9))
            for sections in counts:
                if kind in ("brf", "bpf"):
                    lo = float(np.round(rng.uniform(40.0, 300.0), 3))
                    hi = float(np.round(rng.uniform(lo + 30.0, 470.0), 3))
                    cutoff = [lo, hi]
                else:
                    cutoff = [float(np.round(rng.uniform(30.0, 450.0), 3))]
                ap = float(np.round(rng.uniform(0.1, 3.0), 3))
                as_ = float(np.round(rng.uniform(ap + 20.0, 90.0), 3))
                failures, gain_error = check_design(cli, method, kind, sections, cutoff, ap, as_)
                cases += 1
                worst = max(worst, gain_error)
                for f in failures:
                    print(f"FAIL {method} {kind} n={sections} cutoff={cutoff} Ap={ap} As={as_}: {f}")
                    failed += 1
    for method in ORD:
        for kind, passes, stops, ap, as_ in REQUIREMENTS:
            for f in check_requirements(cli, method, kind, passes, stops, ap, as_):
                print(f"FAIL requirements {method} {kind} {passes} {stops} {ap} {as_}: {f}")
                failed += 1
    print(f"{cases} designs; largest gain deviation {worst:.3g} dB, largest pole deviation "
          f"{WORST['poles']:.3g}; {WORST['requirement sets']} minimum orders compared")
    if failed:
        print(f"{failed} failure(s)")
        return 1
    print("check_iir_methods: all passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
