#!/usr/bin/env python3
"""Cross-check of design from requirements (`fir`/`iir` with --ap --as [--stop]) against scipy.

FIR: the taps printed for each requirement, measured by scipy.signal.freqz on a dense grid over
the design's bands, meet Ap (pass ripple, max - min in dB) and As (stop-band maximum at most -As
dB); the design of N - 2 taps with the RR printed does not. IIR: the section count printed is
ceil(n / 2) (twice that for brf and bpf) of scipy.signal.cheb1ord(wp, ws, Ap, As, fs), and the
printed cascade, measured by scipy.signal.sosfreqz, reaches As below its pass-band peak at the
stop-band edges; a brf's cut-offs are cheb1ord's (which widens the pass bands). Also: a
requirement that cannot be met exits 3 with the best reached, and out-of-range requirements
exit 2.

Usage: check_requirements.py PATH_TO_VANTREL_CLI
"""
import math
import subprocess
import sys

import numpy as np
from scipy import signal

FS = 1000.0
MEASURE_POINTS = 65537
TOLERANCE_DB = 1e-3  # scipy's grid and ours find the band extremes a hair apart

FIR_CASES = [  # type, edges, Ap, As
    ("lpf", [200, 250], 0.5, 60),
    ("lpf", [100, 130], 0.1, 50),
    ("lpf", [200, 210], 0.5, 80),
    ("hpf", [200, 250], 1.0, 50),
    ("hpf", [300, 340], 0.2, 70),
    ("brf", [100, 150, 300, 350], 0.5, 40),
    ("brf", [150, 180, 250, 280], 1.0, 60),
    ("bpf", [100, 150, 300, 350], 0.2, 70),
    ("bpf", [200, 220, 300, 320], 3.0, 45),
]

IIR_CASES = [  # type, cut-offs (pass edges), stop edges, Ap, As
    ("lpf", [200], [250], 0.5, 60),
    ("lpf", [100], [180], 1.0, 40),
    ("lpf", [50], [60], 0.1, 30),
    ("hpf", [300], [200], 0.3, 50),
    ("hpf", [150], [120], 2.0, 45),
    ("bpf", [200, 300], [150, 350], 1.0, 40),
    ("bpf", [200, 300], [100, 400], 0.5, 30),
    ("bpf", [100, 150], [80, 200], 0.5, 50),
    ("brf", [100, 400], [200, 250], 1.0, 40),
    ("brf", [150, 350], [200, 300], 0.5, 50),
    ("brf", [50, 400], [100, 200], 0.5, 40),
    ("brf", [120, 310], [180, 220], 1.0, 60),
    ("brf", [100, 400], [200, 250], 3.0, 80),
]

BTYPE = {"lpf": "lowpass", "hpf": "highpass", "bpf": "bandpass", "brf": "bandstop"}


def run(cli, *args):
    return subprocess.run([cli, *args], capture_output=True, text=True)


def chosen(stderr, word):
    for line in stderr.splitlines():
        parts = line.split()
        if parts and parts[0] == word:
            return parts
    raise RuntimeError(f"no '{word}' line on standard error: {stderr!r}")


def fir_bands(kind, e):
    """(pass, lo, hi) per band, as the design lays them out."""
    half = FS / 2
    if kind == "lpf":
        return [(True, 0, e[0]), (False, e[1], half)]
    if kind == "hpf":
        return [(False, 0, e[0]), (True, e[1], half)]
    pass_band = kind == "brf"
    return [(pass_band, 0, e[0]), (not pass_band, e[1], e[2]), (pass_band, e[3], half)]


def fir_figures(taps, bands):
    freqs, response = signal.freqz(taps, worN=MEASURE_POINTS, fs=FS)
    gain = 20 * np.log10(np.maximum(np.abs(response), 1e-300))
    ripple, attenuation = 0.0, math.inf
    for is_pass, lo, hi in bands:
        inside = gain[(freqs >= lo) & (freqs <= hi)]
        if is_pass:
            ripple = max(ripple, inside.max() - inside.min())
        else:
            attenuation = min(attenuation, -inside.max())
    return ripple, attenuation


def fir_taps(cli, kind, edges, extra):
    result = run(cli, "fir", "--type", kind, "--fs", repr(FS),
                 "--edges", ",".join(str(e) for e in edges), *extra)
    return result, [float(v) for v in result.stdout.split()]


def check_fir(cli, kind, edges, ap, as_):
    failures = []
    result, taps = fir_taps(cli, kind, edges, ["--ap", repr(ap), "--as", repr(as_)])
    if result.returncode != 0:
        return [f"exit {result.returncode}: {result.stderr.strip()}"]
    _, n, _, rr = chosen(result.stderr, "taps")
    n = int(n)
    if len(taps) != n:
        failures.append(f"{len(taps)} taps printed, {n} chosen")
    gain = 10 ** (ap / 20)
    dp_over_ds = (gain - 1) / (gain + 1) / 10 ** (-as_ / 20)
    if abs(float(rr) - dp_over_ds) > 1e-9 * dp_over_ds:
        failures.append(f"rr {rr} is not dp/ds = {dp_over_ds}")
    bands = fir_bands(kind, edges)
    ripple, attenuation = fir_figures(np.array(taps), bands)
    if ripple > ap + TOLERANCE_DB or attenuation < as_ - TOLERANCE_DB:
        failures.append(f"{n} taps: ripple {ripple:.4f} dB, attenuation {attenuation:.2f} dB")
    smaller, smaller_taps = fir_taps(cli, kind, edges, ["--taps", str(n - 2), "--rr", rr])
    if smaller.returncode in (0, 5):
        ripple, attenuation = fir_figures(np.array(smaller_taps), bands)
        if ripple < ap - TOLERANCE_DB and attenuation > as_ + TOLERANCE_DB:
            failures.append(f"{n - 2} taps meet the requirements too: ripple {ripple:.4f} dB, "
                            f"attenuation {attenuation:.2f} dB")
    return failures


def check_iir(cli, kind, cutoff, stop, ap, as_):
    failures = []
    result = run(cli, "iir", "--type", kind, "--fs", repr(FS),
                 "--cutoff", ",".join(str(f) for f in cutoff),
                 "--stop", ",".join(str(f) for f in stop), "--ap", repr(ap), "--as", repr(as_))
    order, wn = signal.cheb1ord(cutoff if len(cutoff) > 1 else cutoff[0],
                                stop if len(stop) > 1 else stop[0], ap, as_, fs=FS)
    expected = math.ceil(order / 2) * (2 if kind in ("brf", "bpf") else 1)
    if expected > 8:
        if result.returncode != 3 or "8 sections" not in result.stderr:
            failures.append(f"order {order}: exit {result.returncode}, {result.stderr.strip()!r}")
        return failures
    if result.returncode != 0:
        return [f"exit {result.returncode}: {result.stderr.strip()}"]
    sections = int(chosen(result.stderr, "sections")[1])
    if sections != expected:
        failures.append(f"{sections} sections, cheb1ord order {order} gives {expected}")
    if kind == "brf":
        designed = [float(f) for f in chosen(result.stderr, "cutoff")[1].split(",")] \
            if "cutoff" in result.stderr else cutoff
        if np.max(np.abs(np.array(designed) - np.atleast_1d(wn))) > 0.01:
            failures.append(f"cut-offs {designed}, cheb1ord {list(wn)}")
    rows = [[float(v) for v in line.split()] for line in result.stdout.splitlines()]
    sos = np.array([[a0, a1, a2, 1.0, b1, b2] for a0, a1, a2, b1, b2 in rows])
    _, h = signal.sosfreqz(sos, worN=np.array(stop, dtype=float), fs=FS)
    _, grid = signal.sosfreqz(sos, worN=MEASURE_POINTS, fs=FS)
    peak = 20 * np.log10(np.max(np.abs(grid)))
    attenuation = peak - 20 * np.log10(np.max(np.abs(h)))
    if attenuation < as_ - TOLERANCE_DB:
        failures.append(f"attenuation {attenuation:.3f} dB at the stop edges")
    return failures


UNMET = [  # arguments, words expected on standard error
    (["fir", "--type", "lpf", "--edges", "200,203", "--ap", "0.5", "--as", "80"],
     ["taps 380", "cannot be met with 380 taps", "attenuation of"]),
    (["fir", "--type", "hpf", "--edges", "200,203", "--ap", "0.5", "--as", "80"],
     ["taps 379", "cannot be met with 379 taps"]),
    (["iir", "--type", "lpf", "--cutoff", "200", "--stop", "205", "--ap", "0.5", "--as", "80"],
     ["sections 8", "8 sections reach an attenuation of"]),
]

REFUSALS = [  # arguments, text expected on standard error
    (["fir", "--ap", "0", "--as", "60"], "--ap: Please enter a number above 0 and at most 20."),
    (["fir", "--ap", "21", "--as", "60"], "--ap: Please enter a number above 0 and at most 20."),
    (["fir", "--ap", "3", "--as", "3"], "--as: Please enter a number above 3 and at most 200."),
    (["fir", "--ap", "1", "--as", "201"], "--as: Please enter a number above 1 and at most 200."),
    (["fir", "--ap", "1"], "--as: a design from requirements needs it"),
    (["fir", "--ap", "1", "--as", "40", "--taps", "50"], "--taps: not with --ap and --as"),
    (["iir", "--ap", "1", "--as", "40"], "--stop: a design from requirements needs it"),
    (["iir", "--ap", "1", "--as", "40", "--stop", "250", "--ripple", "1"],
     "--ripple: not with --ap and --as"),
    (["iir", "--type", "lpf", "--cutoff", "200", "--stop", "150", "--ap", "1", "--as", "40"],
     "--stop: Please enter a stop band edge above 200 and below 500."),
    (["iir", "--type", "hpf", "--cutoff", "200", "--stop", "250", "--ap", "1", "--as", "40"],
     "--stop: Please enter a stop band edge above 0 and below 200."),
    (["iir", "--type", "bpf", "--cutoff", "200,300", "--stop", "150,250", "--ap", "1", "--as",
      "40"], "--stop: Please enter a stop band edge above 300 and below 500."),
    (["iir", "--type", "brf", "--cutoff", "200,300", "--stop", "150,250", "--ap", "1", "--as",
      "40"], "--stop: Please enter a stop band edge above 200 and below 300."),
    (["iir", "--type", "lpf", "--cutoff", "200", "--stop", "250", "--ap", "25", "--as", "40"],
     "--ap: Please enter a number above 0 and at most 20."),
]


def main():
    cli = sys.argv[1]
    failed = 0
    for kind, edges, ap, as_ in FIR_CASES:
        for f in check_fir(cli, kind, edges, ap, as_):
            print(f"FAIL fir {kind} {edges} Ap={ap} As={as_}: {f}")
            failed += 1
    for kind, cutoff, stop, ap, as_ in IIR_CASES:
        for f in check_iir(cli, kind, cutoff, stop, ap, as_):
            print(f"FAIL iir {kind} {cutoff} stop {stop} Ap={ap} As={as_}: {f}")
            failed += 1
    for args, words in UNMET:
        result = run(cli, *args)
        if result.returncode != 3 or not all(w in result.stderr for w in words):
            print(f"FAIL unmet {args}: exit {result.returncode}, stderr {result.stderr!r}")
            failed += 1
    for args, text in REFUSALS:
        result = run(cli, *args)
        if result.returncode != 2 or text not in result.stderr or result.stdout:
            print(f"FAIL refusal {args}: exit {result.returncode}, stderr {result.stderr!r}")
            failed += 1
    if failed:
        print(f"{failed} failure(s)")
        return 1
    print("check_requirements: all passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
