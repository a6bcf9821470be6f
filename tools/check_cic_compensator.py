#!/usr/bin/env python3
"""Cross-check of the CIC droop compensator of `vantrel-cli cic --compensate` with scipy.

For every case the printed taps must be symmetric, and on a dense grid (scipy.signal.freqz of the
taps; the CIC's response from its kernel, or from the closed form for the long kernels):
- the compensator's error, 1/|H(f/R)| - A(f) in the pass band and -A(f) in the stop band, peaks
  at the printed ripple, and is equiripple: at least r + 1 extrema of alternating sign reach that
  peak (r the cosine terms of the taps), the sign of the optimum;
- the cascade |H(f/R)| * |A(f)| lies within that ripple of 1 over the whole pass band, is flatter
  than the CIC alone, and the printed pass-band ripple and stop-band attenuation are its own;
and the refusals of unusable compensator parameters exit with status 2.

Usage: check_cic_compensator.py PATH_TO_VANTREL_CLI
"""
import math
import subprocess
import sys

import numpy as np
from scipy import signal

CASES = [  # interpolate, S, R, DL, taps, FP, FSTOP
    (False, 4, 32, 1, 31, 0.2, 0.3),
    (False, 3, 8, 2, 40, 0.15, 0.3),
    (False, 8, 1024, 1, 63, 0.25, 0.35),
    (False, 5, 10, 2, 24, 0.1, 0.2),
    (True, 5, 16, 1, 21, 0.1, 0.25),
    (True, 2, 4, 1, 58, 0.3, 0.4),
]


def run(cli, *args):
    return subprocess.run([cli, "cic", *args], capture_output=True, text=True)


def cic_response(f_low, r, s, dl):
    """|H| / H(0) at f_low cycles per low-rate sample: from the kernel when it is short."""
    f = np.asarray(f_low) / r
    if r * dl * s <= 200:
        h = np.ones(1)
        for _ in range(s):
            h = np.convolve(h, np.ones(r * dl))
        _, resp = signal.freqz(h, worN=2 * np.pi * f)
        return np.abs(resp) / h.sum()
    m = r * dl
    with np.errstate(invalid="ignore", divide="ignore"):
        ratio = np.where(f == 0, 1.0, np.sin(np.pi * f * m) / (m * np.sin(np.pi * f)))
    return np.abs(ratio) ** s


def amplitude(taps, f):
    """The real zero-phase amplitude of symmetric taps."""
    _, resp = signal.freqz(taps, worN=2 * np.pi * np.asarray(f))
    return np.real(resp * np.exp(1j * np.pi * np.asarray(f) * (len(taps) - 1)))


def alternations(errors, level):
    """Extrema of alternating sign reaching 0.95 of level, over the bands in order (the
    exchange levels the error on its grid; between its points the error can rise a little)."""
    count, sign = 0, 0
    for e in errors:
        if len(e) == 0:
            continue
        idx = [0, len(e) - 1]
        idx += [i for i in range(1, len(e) - 1)
                if abs(e[i]) >= abs(e[i - 1]) and abs(e[i]) >= abs(e[i + 1])]
        for i in sorted(set(idx)):
            if abs(e[i]) >= 0.95 * level:
                s = 1 if e[i] > 0 else -1
                if s != sign:
                    count += 1
                    sign = s
    return count


def parse(stdout):
    values, taps = {}, []
    for line in stdout.splitlines():
        parts = line.split()
        if parts and parts[0] == "c":
            taps.append(float(parts[2]))
        elif len(parts) >= 2 and parts[0] not in values:
            values[parts[0]] = parts[1:]
    return values, np.array(taps)


def check_case(cli, case):
    interpolate, s, r, dl, n, fp, fstop = case
    name = "%s S=%d R=%d DL=%d taps=%d edges=%g,%g" % (
        "interpolator" if interpolate else "decimator", s, r, dl, n, fp, fstop)
    p = run(cli, "--interpolate" if interpolate else "--decimate", str(r), "--stages", str(s),
            "--delay", str(dl), "--compensate", "--taps", str(n), "--edges", "%g,%g" % (fp, fstop))
    if p.returncode != 0:
        return ["%s: exit %d: %s" % (name, p.returncode, p.stderr.strip())]
    values, taps = parse(p.stdout)
    fails = []
    if len(taps) != n or not np.allclose(taps, taps[::-1], rtol=0, atol=1e-12):
        return ["%s: %d taps, or not symmetric" % (name, len(taps))]
    ripple = float(values["compensator-ripple"][0])
    fpass = np.linspace(0, fp, 8001)
    fstopband = np.linspace(fstop, 0.5, 8001)
    hp = cic_response(fpass, r, s, dl)
    hs = cic_response(fstopband, r, s, dl)
    ap, ast = amplitude(taps, fpass), amplitude(taps, fstopband)
    ep, es = 1.0 / hp - ap, -ast
    peak = max(np.max(np.abs(ep)), np.max(np.abs(es)))
    if not abs(peak - ripple) <= 1e-3 * ripple:
        fails.append("%s: error peaks at %.9g, printed ripple %.9g" % (name, peak, ripple))
    r_terms = (n + 1) // 2 if n % 2 else n // 2
    got = alternations([ep, es], peak)
    if got < r_terms + 1:
        fails.append("%s: %d alternations of the error, the optimum has %d" % (
            name, got, r_terms + 1))
    cascade = hp * np.abs(ap)
    deviation = np.max(np.abs(cascade - 1.0))
    if not deviation <= ripple * (1 + 1e-6):
        fails.append("%s: the cascade strays %.3g from 1, beyond the ripple %.3g" % (
            name, deviation, ripple))
    if not deviation < 1.0 - hp[-1]:
        fails.append("%s: the cascade (%.3g) is no flatter than the CIC alone (%.3g)" % (
            name, deviation, 1.0 - hp[-1]))
    ripple_db = np.max(np.abs(20 * np.log10(cascade)))
    stop_db = -20 * np.log10(np.max(hs * np.abs(ast)))
    for key, want in (("passband-ripple-db", ripple_db), ("stopband-attenuation-db", stop_db)):
        if not abs(float(values[key][0]) - want) <= 0.01:
            fails.append("%s: %s %s, scipy gives %.6f" % (name, key, values[key][0], want))
    if not fails:
        print("ok   %s: ripple %.3g, cascade %.4f dB, stop band %.1f dB, %d alternations" % (
            name, ripple, ripple_db, stop_db, got))
    return fails


REFUSED = [
    ["--compensate", "--taps", "31"],                       # no edges
    ["--compensate", "--edges", "0.2,0.3"],                 # no taps
    ["--compensate", "--taps", "3", "--edges", "0.2,0.3"],  # too few taps
    ["--compensate", "--taps", "31", "--edges", "0.3,0.2"],  # edges out of order
    ["--compensate", "--taps", "31", "--edges", "0.2,0.5"],  # no stop band
    ["--compensate", "--taps", "31", "--edges", "0.2"],     # one edge
    ["--compensate", "--taps", "31", "--edges", "0.2,x"],   # not a number
]


def main():
    cli = sys.argv[1]
    fails = []
    for case in CASES:
        fails += check_case(cli, case)
    for extra in REFUSED:
        p = run(cli, "--decimate", "16", *extra)
        if p.returncode != 2 or p.stdout:
            fails.append("%s: exit %d (want 2), %d characters on standard output" % (
                " ".join(extra), p.returncode, len(p.stdout)))
    # The droop of 8 stages by 2 with delay 2 reaches 40 dB before 0.45 of the low rate.
    p = run(cli, "--decimate", "2", "--stages", "8", "--delay", "2", "--compensate", "--taps",
            "31", "--edges", "0.45,0.48")
    if p.returncode != 2:
        fails.append("a droop beyond 40 dB: exit %d (want 2)" % p.returncode)
    for f in fails:
        print("FAIL " + f)
    print("%d passed, %d failed" % (len(CASES) + len(REFUSED) + 1 - len(fails), len(fails)))
    return 1 if fails else 0


if __name__ == "__main__":
    sys.exit(main())
