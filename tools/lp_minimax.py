#!/usr/bin/python3
"""The true weighted-minimax optimum of a linear-phase FIR by linear programming, and the weighted
error of `vantrel-cli fir` designs measured against it.

The amplitude of N taps is a sum of cosines (symmetric taps) or sines (antisymmetric ones); the
programme minimises delta subject to |W(f) (A(f) - D(f))| <= delta on a grid (HiGHS through
scipy.optimize.linprog). The optimum on any grid is a lower bound of the continuous optimum; the
largest error of its taps on the measuring grid (65,537 points per band and the band edges) is an
upper one. The grid is refined around the extrema of the last solution until the two agree to
1e-7 of the level, so the reference is far more exact than the 0.01 % it is used to judge.

usage: lp_minimax.py PATH/TO/vantrel-cli [--table] [--random K] [--seed S] [--taps-change OLD]
   --table           a table of fixed layouts: our E, the LP's, the gap
   --random K        K random layouts of every kind as well
   --taps-change OLD no LP: how far the taps of PATH/TO/vantrel-cli lie from those of another
                     build OLD of it on the same layouts (largest difference, absolute and as a
                     fraction of the largest tap), and the E of both
"""
import argparse
import subprocess
import sys

import numpy as np
from scipy.optimize import linprog
from scipy.signal import czt

MEASURE_POINTS = 65537
SLOPE_GAIN = 1e-4  # a differentiator band below this gain is a stop band (weight not divided by f)


class Layout:
    """A design problem in fractions of fs: kind is 'symmetric', 'hilbert' or 'differentiator'."""

    def __init__(self, n, bands, gains, weights, kind="symmetric", options=None, label=""):
        self.n = n
        self.bands = list(bands)
        self.gains = list(gains)
        self.weights = list(weights)
        self.kind = kind
        self.options = options or []
        self.label = label
        # The designer's stepped grid (multiband layouts, Hilbert transformers, differentiators)
        self.stepped = kind != "symmetric" or "--bands" in self.options

    @property
    def antisymmetric(self):
        return self.kind != "symmetric"

    def domain(self, b, points):
        """Frequencies of band b at which the error is measured: evenly spaced edge to edge,
        kept off the zeros of the amplitude's built-in factor the way the designer's grid is."""
        lo, hi = self.bands[2 * b], self.bands[2 * b + 1]
        r = self.n // 2 + (1 if self.n % 2 and not self.antisymmetric else 0)
        step = 0.5 / (16 * r)
        if self.antisymmetric and lo < step:
            lo = max(lo, 1e-4) if self.kind == "differentiator" else step
        if (self.n % 2 != 0) == self.antisymmetric and hi > 0.5 - step:
            # The response is forced to 0 at half of fs: the designer's grid ends a step below
            # (the dense grid of a filter type exactly there, the stepped grid of the other
            # layouts on the band's last step below it).
            hi = 0.5 - step
            if self.stepped:
                hi = lo + np.floor((0.5 - step - lo) / step) * step
        return np.linspace(lo, hi, points)

    def target(self, b, f):
        g, w = self.gains[b], self.weights[b]
        if self.kind == "differentiator":
            weight = w / f if g >= SLOPE_GAIN else np.full_like(f, w)
            return g * f, weight
        return np.full_like(f, g), np.full_like(f, w)

    def basis(self, f):
        """Columns: the amplitude of each free coefficient at frequencies f."""
        n = self.n
        if not self.antisymmetric:
            if n % 2:
                k = np.arange((n - 1) // 2 + 1)
            else:
                k = np.arange(n // 2) + 0.5
            return np.cos(2 * np.pi * np.outer(f, k))
        if n % 2:
            k = np.arange(1, (n - 1) // 2 + 1)
        else:
            k = np.arange(1, n // 2 + 1) - 0.5
        return np.sin(2 * np.pi * np.outer(f, k))

    def taps(self, c):
        """Taps h[0..N-1] of the coefficients of basis()."""
        n = self.n
        h = np.zeros(n)
        if not self.antisymmetric:
            if n % 2:
                m = (n - 1) // 2
                h[m] = c[0]
                for k in range(1, m + 1):
                    h[m - k] = h[m + k] = c[k] / 2
            else:
                for k in range(n // 2):
                    h[n // 2 - 1 - k] = h[n // 2 + k] = c[k] / 2
            return h
        # Amplitude -sum h[i] sin(2 pi f (i - M)) as in the checks: A = sum c_k sin(...) with
        # c_k = 2 h[M - k].
        if n % 2:
            m = (n - 1) // 2
            for k in range(1, m + 1):
                h[m - k] = c[k - 1] / 2
                h[m + k] = -c[k - 1] / 2
        else:
            for k in range(1, n // 2 + 1):
                h[n // 2 - k] = c[k - 1] / 2
                h[n // 2 - 1 + k] = -c[k - 1] / 2
        return h


def amplitude(layout, h, f):
    """The zero-phase amplitude at evenly spaced f (a chirp z-transform: fast on many points)."""
    n = len(h)
    if len(f) < 2:
        k = np.arange(n) - (n - 1) / 2.0
        phase = 2 * np.pi * np.outer(f, k)
        return (-np.sin(phase) if layout.antisymmetric else np.cos(phase)) @ h
    df = (f[-1] - f[0]) / (len(f) - 1)
    spectrum = czt(h, len(f), np.exp(-2j * np.pi * df), np.exp(2j * np.pi * f[0]))
    turned = spectrum * np.exp(2j * np.pi * f * (n - 1) / 2.0)
    return turned.imag if layout.antisymmetric else turned.real


def band_errors(layout, h, points=MEASURE_POINTS):
    """(f, signed weighted error) of each band on the measuring grid."""
    out = []
    for b in range(len(layout.gains)):
        f = layout.domain(b, points)
        d, w = layout.target(b, f)
        out.append((f, w * (amplitude(layout, h, f) - d)))
    return out


def weighted_error(layout, h, points=MEASURE_POINTS):
    """E: the largest weighted error on 65,537 points per band, band edges included."""
    return max(float(np.max(np.abs(e))) for _, e in band_errors(layout, h, points))


def solve_lp(layout, f, b):
    """Minimises delta on the points f (band indices b); returns (delta, coefficients)."""
    d = np.empty_like(f)
    w = np.empty_like(f)
    for band in range(len(layout.gains)):
        sel = b == band
        d[sel], w[sel] = layout.target(band, f[sel])
    basis = layout.basis(f) * w[:, None]
    wd = w * d
    cols = basis.shape[1]
    ones = -np.ones((len(f), 1))
    a_ub = np.vstack([np.hstack([basis, ones]), np.hstack([-basis, ones])])
    b_ub = np.concatenate([wd, -wd])
    cost = np.zeros(cols + 1)
    cost[-1] = 1.0
    res = linprog(cost, A_ub=a_ub, b_ub=b_ub, bounds=[(None, None)] * (cols + 1),
                  method="highs", options={"primal_feasibility_tolerance": 1e-10,
                                           "dual_feasibility_tolerance": 1e-10})
    if res.status != 0:
        raise RuntimeError("linprog: " + res.message)
    return float(res.x[-1]), res.x[:-1]


def lp_optimum(layout, rounds=6):
    """(lower, upper, taps): the LP level on its last grid and the largest error of its taps on
    the measuring grid. The true optimum lies between."""
    r = layout.basis(np.array([0.1])).shape[1]
    f_list, b_list = [], []
    for band in range(len(layout.gains)):
        lo, hi = layout.bands[2 * band], layout.bands[2 * band + 1]
        count = max(8, int(8 * r * (hi - lo) / 0.5) + 2)
        f = layout.domain(band, count)
        f_list.append(f)
        b_list.append(np.full(len(f), band))
    f = np.concatenate(f_list)
    b = np.concatenate(b_list)
    lower = upper = 0.0
    h = None
    for _ in range(rounds):
        lower, c = solve_lp(layout, f, b)
        h = layout.taps(c)
        # Extrema of the fine-grid error join the grid, with close neighbours on either side.
        extra_f, extra_b = [], []
        upper = 0.0
        for band, (fb, e) in enumerate(band_errors(layout, h)):
            upper = max(upper, float(np.max(np.abs(e))))
            a = np.abs(e)
            inside = np.flatnonzero((a[1:-1] >= a[:-2]) & (a[1:-1] >= a[2:])) + 1
            peaks = np.concatenate([[0, len(a) - 1], inside])
            peaks = peaks[a[peaks] >= 0.5 * lower]
            spacing = fb[1] - fb[0]
            for p in peaks:
                around = fb[p] + spacing * np.linspace(-2, 2, 9)
                around = around[(around >= fb[0]) & (around <= fb[-1])]
                extra_f.append(around)
                extra_b.append(np.full(len(around), band))
        if upper <= lower * (1 + 1e-7):
            break
        f = np.concatenate([f] + extra_f)
        b = np.concatenate([b] + extra_b)
    return lower, upper, h


# ---- vantrel-cli designs ------------------------------------------------------------------------


def filter_type(kind, fs, edges, taps, rr, label=None):
    """The layout `fir --type KIND` designs (HPF and BRF design an even count one tap shorter)."""
    e = [x / fs for x in edges]
    n = taps - 1 if kind in ("hpf", "brf") and taps % 2 == 0 else taps
    if kind == "lpf":
        bands, gains, weights = [0, e[0], e[1], 0.5], [1, 0], [1, rr]
    elif kind == "hpf":
        bands, gains, weights = [0, e[0], e[1], 0.5], [0, 1], [rr, 1]
    elif kind == "brf":
        bands, gains, weights = [0] + e + [0.5], [1, 0, 1], [1, rr, 1]
    else:
        bands, gains, weights = [0] + e + [0.5], [0, 1, 0], [rr, 1, rr]
    options = ["--type", kind, "--fs", repr(fs), "--edges", ",".join(repr(x) for x in edges),
               "--taps", str(taps), "--rr", repr(rr)]
    return Layout(n, bands, gains, weights, "symmetric", options,
                  label or "%s N=%d edges=%s RR=%g" % (kind, taps, edges, rr))


def special(kind, fs, edges, taps):
    e = [x / fs for x in edges]
    options = ["--type", kind, "--fs", repr(fs), "--edges", ",".join(repr(x) for x in edges),
               "--taps", str(taps)]
    return Layout(taps, e, [1.0], [1.0], kind, options, "%s N=%d edges=%s" % (kind, taps, edges))


def multiband(fs, bands, gains, weights, taps):
    table = ";".join("%r,%r,%r,%r" % (bands[2 * b], bands[2 * b + 1], gains[b], weights[b])
                     for b in range(len(gains)))
    options = ["--bands", table, "--fs", repr(fs), "--taps", str(taps)]
    return Layout(taps, [x / fs for x in bands], gains, weights, "symmetric", options,
                  "bands N=%d %s" % (taps, table))


def cli_taps(cli, layout):
    """The taps vantrel-cli designs, or None with the exit status and standard error."""
    run = subprocess.run([cli, "fir"] + layout.options, capture_output=True, text=True)
    if run.returncode != 0:
        return None, run.returncode, run.stderr.strip()
    h = np.array([float(v) for v in run.stdout.split()])
    return h[:layout.n], 0, run.stderr.strip()


TABLE = [
    filter_type("lpf", 1000, [200, 250], 31, 10),
    filter_type("lpf", 1000, [200, 250], 41, 1),
    filter_type("lpf", 1000, [200, 250], 90, 10),
    filter_type("lpf", 1000, [100, 150], 30, 1),
    filter_type("lpf", 8000, [1000, 1500], 57, 100),
    filter_type("lpf", 48000, [4000, 6000], 64, 3.5),
    filter_type("lpf", 1000, [200, 210], 201, 1),
    filter_type("lpf", 1000, [200, 210], 380, 10),
    filter_type("hpf", 1000, [200, 250], 31, 10),
    filter_type("hpf", 1000, [100, 150], 51, 1),
    filter_type("hpf", 44100, [3000, 5000], 75, 50),
    filter_type("hpf", 1000, [300, 340], 81, 100),
    filter_type("hpf", 1000, [240, 250], 301, 1),
    filter_type("brf", 1000, [200, 250, 350, 400], 61, 10),
    filter_type("brf", 1000, [100, 150, 300, 350], 41, 1),
    filter_type("brf", 2000, [300, 400, 600, 700], 71, 30),
    filter_type("brf", 1000, [120, 160, 250, 290], 95, 100),
    filter_type("bpf", 1000, [200, 250, 350, 400], 60, 10),
    filter_type("bpf", 1000, [200, 250, 350, 400], 61, 1),
    filter_type("bpf", 1000, [100, 140, 300, 340], 80, 5),
    filter_type("bpf", 16000, [2000, 2500, 4000, 4500], 47, 100),
    filter_type("bpf", 1000, [150, 175, 250, 275], 120, 2),
    filter_type("bpf", 1000, [100, 130, 300, 330], 150, 40),
    special("hilbert", 1000, [50, 450], 31),
    special("hilbert", 1000, [50, 500], 30),
    special("hilbert", 1000, [80, 420], 45),
    special("differentiator", 1000, [0, 400], 31),
    special("differentiator", 1000, [0, 500], 40),
    multiband(1000, [0, 100, 150, 250, 300, 500], [0, 1, 0], [10, 1, 5], 51),
    multiband(1000, [0, 80, 120, 200, 240, 320, 360, 500], [1, 0, 0.5, 0], [1, 20, 2, 20], 70),
    multiband(8000, [0, 1000, 1400, 2600, 3000, 4000], [1, 0, 1], [1, 30, 1], 65),
]


def random_layout(rng):
    kind = ["lpf", "hpf", "brf", "bpf", "hilbert", "differentiator", "bands"][
        int(rng.integers(0, 7))]
    taps = int(rng.integers(11, 160))
    if kind in ("lpf", "hpf"):
        f1 = float(rng.uniform(0.05, 0.4))
        tw = float(rng.uniform(0.02, 0.08))
        edges = [round(f1 * 1000, 2), round(min(f1 + tw, 0.48) * 1000, 2)]
        return filter_type(kind, 1000.0, edges, taps, round(float(rng.uniform(1, 50)), 2))
    if kind in ("brf", "bpf"):
        e = np.sort(rng.uniform(0.04, 0.46, 2))
        lo, hi = float(e[0]), float(e[1])
        if hi - lo < 0.12:
            hi = min(lo + 0.12, 0.46)
        t1, t2 = float(rng.uniform(0.03, 0.06)), float(rng.uniform(0.03, 0.06))
        edges = [lo, lo + t1, hi - t2, hi]
        edges = [round(x * 1000, 2) for x in edges]
        return filter_type(kind, 1000.0, edges, taps, round(float(rng.uniform(1, 50)), 2))
    if kind == "hilbert":
        taps = min(taps, 70)
        top = 0.5 if taps % 2 == 0 else 0.46
        return special(kind, 1000.0, [round(float(rng.uniform(0.04, 0.1)) * 1000, 2),
                                      round(float(rng.uniform(0.38, top)) * 1000, 2)], taps)
    if kind == "differentiator":
        taps = min(taps, 60)
        top = 0.5 if taps % 2 == 0 else 0.44
        return special(kind, 1000.0, [0.0, round(float(rng.uniform(0.25, top)) * 1000, 2)], taps)
    n = int(rng.integers(2, 5))
    gaps = rng.uniform(0.04, 0.08, n - 1)
    widths = rng.dirichlet(np.ones(n)) * (0.5 - gaps.sum() - 0.03 * n) + 0.03
    edges = [0.0]
    for b in range(n):
        edges.append(edges[-1] + widths[b])
        if b < n - 1:
            edges.append(edges[-1] + gaps[b])
    edges[-1] = 0.5
    gains = [float(rng.choice([0.0, 1.0, 0.5])) for _ in range(n)]
    if taps % 2 == 0:
        gains[-1] = 0.0
    weights = [round(float(rng.uniform(1.0, 20.0)), 2) for _ in range(n)]
    return multiband(1000.0, [round(x * 1000, 2) for x in edges], gains, weights, taps)


def compare(cli, layout):
    """(our E, LP lower bound, LP upper bound, exit, message)."""
    h, status, message = cli_taps(cli, layout)
    lower, upper, _ = lp_optimum(layout)
    ours = weighted_error(layout, h) if h is not None else float("nan")
    return ours, lower, upper, status, message


def taps_change(cli, old, layouts):
    absolute, relative, better = [], [], 0
    print("%-70s %10s %10s %13s %13s" % ("layout", "max |dh|", "/ max |h|", "E (new)",
                                           "E (old)"))
    for layout in layouts:
        h, status, _ = cli_taps(cli, layout)
        g, old_status, _ = cli_taps(old, layout)
        if h is None or g is None:
            print("%-70s exit %d, old %d" % (layout.label[:70], status, old_status))
            continue
        d = float(np.max(np.abs(h - g)))
        rel = d / float(np.max(np.abs(g)))
        absolute.append(d)
        relative.append(rel)
        e_new, e_old = weighted_error(layout, h), weighted_error(layout, g)
        better += e_new <= e_old * (1 + 1e-9)
        print("%-70s %10.2e %10.2e %13.7g %13.7g" % (layout.label[:70], d, rel, e_new, e_old))
    print("%d designs: taps moved by at most %.3g (median %.3g), at most %.3g of the largest tap "
          "(median %.3g); E no larger than before in %d" % (
              len(absolute), max(absolute), float(np.median(absolute)), max(relative),
              float(np.median(relative)), better))
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("cli")
    parser.add_argument("--table", action="store_true")
    parser.add_argument("--random", type=int, default=0)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--taps-change", metavar="OLD")
    args = parser.parse_args()
    layouts = list(TABLE) if args.table or not args.random else []
    rng = np.random.default_rng(args.seed)
    layouts += [random_layout(rng) for _ in range(args.random)]
    if args.taps_change:
        return taps_change(args.cli, args.taps_change, layouts)
    print("%-70s %13s %13s %10s" % ("layout", "E (ours)", "E (LP)", "gap"))
    worst = 0.0
    for layout in layouts:
        ours, lower, upper, status, message = compare(args.cli, layout)
        if status != 0:
            print("%-70s exit %d: %s" % (layout.label[:70], status, message[:60]))
            continue
        gap = ours / lower - 1.0
        worst = max(worst, gap)
        print("%-70s %13.7g %13.7g %+9.4f%%%s" % (layout.label[:70], ours, lower, 100 * gap,
                                                  "" if upper <= lower * (1 + 1e-6) else
                                                  "  (LP bound %.2g)" % (upper / lower - 1)))
    print("largest gap to the LP optimum: %.4f %%" % (100 * worst))
    return 0


if __name__ == "__main__":
    sys.exit(main())
