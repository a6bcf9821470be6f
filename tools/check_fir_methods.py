#!/usr/bin/env python3
"""Cross-check of `vantrel-cli fir --method ls|kaiser` against scipy.signal.

For random cases of every type the printed taps must equal scipy's within 1e-9 of the largest
tap:
  ls      scipy.signal.firls(N, bands, desired, weight, fs) on the type's bands (pass gain 1
          weight 1, stop gain 0 weight RR); scipy takes odd N only, and so does the program:
          an even N is designed with N - 1 taps and listed with a zero after them. Wide
          transition bands at many taps make firls's normal equations singular to double
          precision (condition above 1e5: then no double-precision solver fixes the taps to
          1e-9, they move with the last bit of the matrix); there the weighted squared error of
          the program's taps over the bands must be at most 2 % above scipy's, or below 1e-11
          (a response within a few 1e-6 of the desired gain, where both are rounding);
  kaiser  scipy.signal.firwin(N, cut-offs, window=('kaiser', beta), pass_zero=..., fs=fs) with
          the cut-offs at the middle of each transition band; hpf and brf take odd N only, as
          above.
From requirements (--ap --as with --method kaiser) the tap count and beta must be scipy's
kaiserord for the narrowest transition and the smaller of the two deviations (the odd count
above it for hpf and brf), beta exactly, and the taps those of firwin with them.

Usage: check_fir_methods.py PATH_TO_VANTREL_CLI
"""
import random
import re
import subprocess
import sys

import numpy as np
from scipy import signal

TOLERANCE = 1e-9
TYPES = ("lpf", "hpf", "brf", "bpf")
CONDITION_LIMIT = 1e5
ERROR_EXCESS = 0.02  # ill-conditioned ls: relative excess of the squared error over scipy's
ERROR_FLOOR = 1e-11
WORST = {"ls": 0.0, "kaiser": 0.0, "ls error": 0.0}
COUNTS = {"ls by error": 0}


def run(cli, *args):
    return subprocess.run([cli, *args], capture_output=True, text=True)


def random_edges(rng, kind, fs):
    """Band edges with transitions of 1 % to 10 % of fs, none too close to DC or fs/2."""
    count = 4 if kind in ("brf", "bpf") else 2
    while True:
        edges = sorted(rng.uniform(0.03, 0.47) * fs for _ in range(count))
        widths = [edges[i + 1] - edges[i] for i in range(0, count, 2)]
        gaps = [edges[i + 1] - edges[i] for i in range(1, count - 1, 2)]
        if all(0.01 * fs <= w <= 0.1 * fs for w in widths) and all(g >= 0.03 * fs for g in gaps):
            return [round(e, 3) for e in edges]


def layout(kind, edges, fs, rr):
    """firls's bands, desired pairs and weights of the type."""
    if kind in ("lpf", "hpf"):
        bands = [0.0, edges[0], edges[1], fs / 2]
        gains = [1, 0] if kind == "lpf" else [0, 1]
    else:
        bands = [0.0, edges[0], edges[1], edges[2], edges[3], fs / 2]
        gains = [1, 0, 1] if kind == "brf" else [0, 1, 0]
    desired = [g for g in gains for _ in (0, 1)]
    weight = [1.0 if g else rr for g in gains]
    return bands, desired, weight


def cutoffs(kind, edges):
    mids = [(edges[i] + edges[i + 1]) / 2 for i in range(0, len(edges), 2)]
    return mids, kind in ("lpf", "brf")


def compare(name, ours, theirs, entered):
    """The program lists `entered` values: the design, then zeros for an odd-only count."""
    theirs = np.concatenate([theirs, np.zeros(entered - len(theirs))])
    if len(ours) != len(theirs):
        return "%d taps printed, %d expected" % (len(ours), len(theirs))
    error = np.max(np.abs(ours - theirs)) / np.max(np.abs(theirs))
    WORST[name] = max(WORST[name], error)
    return None if error <= TOLERANCE else "taps off by %.3g of the largest" % error


def normal_condition(n, bands, weight, fs):
    """The condition of firls's matrix Q for n taps (as scipy assembles it)."""
    from scipy.linalg import hankel, toeplitz
    b = np.array(bands).reshape(-1, 2) / (fs / 2)
    m = (n - 1) // 2
    k = np.arange(n)[:, None, None]
    q = np.dot(np.diff(np.sinc(b * k) * b, axis=2)[:, :, 0], weight)
    return np.linalg.cond(toeplitz(q[:m + 1]) + hankel(q[:m + 1], q[m:]))


def squared_error(h, bands, desired, weight, fs):
    """sum over bands of W * integral (|H(f)| - D)^2 df, by Simpson's rule on 4001 points."""
    from scipy.integrate import simpson
    total = 0.0
    for i in range(0, len(bands), 2):
        f = np.linspace(bands[i], bands[i + 1], 4001)
        _, resp = signal.freqz(h, worN=f, fs=fs)
        # the amplitude of the symmetric taps: |H| with the sign of the linear-phase term removed
        amp = np.real(resp * np.exp(1j * np.pi * f / fs * (len(h) - 1)))
        total += weight[i // 2] * simpson((amp - desired[i]) ** 2, x=f)
    return total


def printed_taps(result):
    return np.array([float(v) for v in result.stdout.split()])


def check_ls(cli, rng):
    kind = rng.choice(TYPES)
    fs = rng.choice([1000.0, 48000.0, 8000.0])
    edges = random_edges(rng, kind, fs)
    taps = rng.randint(4, 380)
    rr = round(10 ** rng.uniform(-1, 2), 4)
    args = ["fir", "--method", "ls", "--type", kind, "--fs", repr(fs), "--taps", str(taps),
            "--rr", repr(rr), "--edges", ",".join(repr(e) for e in edges)]
    result = run(cli, *args)
    if result.returncode != 0:
        return args, "exit %d: %s" % (result.returncode, result.stderr.strip())
    bands, desired, weight = layout(kind, edges, fs, rr)
    n = taps - 1 if taps % 2 == 0 else taps
    theirs = signal.firls(n, bands, desired, weight=weight, fs=fs)
    ours = printed_taps(result)
    if normal_condition(n, bands, weight, fs) <= CONDITION_LIMIT:
        return args, compare("ls", ours, theirs, taps)
    COUNTS["ls by error"] += 1
    if len(ours) != taps or np.any(ours[n:] != 0):
        return args, "%d taps printed, %d expected (%d designed)" % (len(ours), taps, n)
    e_ours = squared_error(ours[:n], bands, desired, weight, fs)
    e_theirs = squared_error(theirs, bands, desired, weight, fs)
    excess = (e_ours - e_theirs) / e_theirs
    if e_ours > ERROR_FLOOR:
        WORST["ls error"] = max(WORST["ls error"], excess)
    return args, (None if excess <= ERROR_EXCESS or e_ours <= ERROR_FLOOR else
                  "squared error %.12g above scipy's %.12g" % (e_ours, e_theirs))


def check_kaiser(cli, rng):
    kind = rng.choice(TYPES)
    fs = rng.choice([1000.0, 44100.0])
    edges = random_edges(rng, kind, fs)
    taps = rng.randint(4, 380)
    beta = round(rng.uniform(0.0, 14.0), 3)
    args = ["fir", "--method", "kaiser", "--type", kind, "--fs", repr(fs), "--taps", str(taps),
            "--beta", repr(beta), "--edges", ",".join(repr(e) for e in edges)]
    result = run(cli, *args)
    if result.returncode != 0:
        return args, "exit %d: %s" % (result.returncode, result.stderr.strip())
    mids, pass_zero = cutoffs(kind, edges)
    n = taps - 1 if taps % 2 == 0 and kind in ("hpf", "brf") else taps
    theirs = signal.firwin(n, mids, window=("kaiser", beta), pass_zero=pass_zero, fs=fs)
    return args, compare("kaiser", printed_taps(result), theirs, taps)


def deviation_db(ap, as_):
    g = 10 ** (ap / 20)
    return -20 * np.log10(min((g - 1) / (g + 1), 10 ** (-as_ / 20)))


def check_kaiserord(cli, rng):
    kind = rng.choice(TYPES)
    fs = 1000.0
    edges = random_edges(rng, kind, fs)
    ap = round(rng.uniform(0.01, 2.0), 3)
    as_ = round(rng.uniform(max(ap, 25.0), 110.0), 2)
    args = ["fir", "--method", "kaiser", "--type", kind, "--fs", repr(fs), "--ap", repr(ap),
            "--as", repr(as_), "--edges", ",".join(repr(e) for e in edges)]
    width = min(edges[i + 1] - edges[i] for i in range(0, len(edges), 2))
    n, beta = signal.kaiserord(deviation_db(ap, as_), width / (fs / 2))
    expected = n + 1 if n % 2 == 0 and kind in ("hpf", "brf") else n
    result = run(cli, *args)
    if expected > 380:
        return args, (None if result.returncode == 3 else
                      "kaiserord asks for %d taps: expected exit 3, got %d"
                      % (n, result.returncode))
    if result.returncode != 0:
        return args, "exit %d: %s" % (result.returncode, result.stderr.strip())
    m = re.search(r"taps (\d+) beta (\S+)", result.stderr)
    if not m:
        return args, "no 'taps N beta B' line: " + result.stderr.strip()
    got_n, got_beta = int(m.group(1)), float(m.group(2))
    if got_n != expected or got_beta != beta:
        return args, "taps %d beta %r, kaiserord %d %r" % (got_n, got_beta, n, beta)
    mids, pass_zero = cutoffs(kind, edges)
    theirs = signal.firwin(expected, mids, window=("kaiser", beta), pass_zero=pass_zero, fs=fs)
    return args, compare("kaiser", printed_taps(result), theirs, expected)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    cli = sys.argv[1]
    rng = random.Random(34)
    failures = 0
    counts = {"ls": 60, "kaiser": 60, "kaiserord": 40}
    checks = {"ls": check_ls, "kaiser": check_kaiser, "kaiserord": check_kaiserord}
    for name, count in counts.items():
        for _ in range(count):
            args, error = checks[name](cli, rng)
            if error:
                failures += 1
                print("FAILED %s: %s\n  %s" % (name, error, " ".join(args)))
    print("largest tap error, relative to the largest tap: ls %.3g, kaiser %.3g"
          % (WORST["ls"], WORST["kaiser"]))
    print("ls cases with a condition above %.0e: %d, their squared error (where above 1e-11) at "
          "most %.3g above scipy's (relative)" % (CONDITION_LIMIT, COUNTS["ls by error"], WORST["ls error"]))
    total = sum(counts.values())
    print("%d of %d cases failed" % (failures, total))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
