#!/usr/bin/python3
"""Whether the tap count `vantrel-cli fir --ap AP --as AS` chooses is the smallest that meets the
requirements at the true optimum: the linear programme of lp_minimax.py at the chosen count and at
the next two smaller counts of the type's parity. With weights 1 (pass) and dp/ds (stop), a count
meets Ap and As exactly when the optimum's weighted error is at most dp.

usage: lp_requirements.py PATH/TO/vantrel-cli [--count K] [--seed S]"""
import argparse
import os
import subprocess
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import lp_minimax as lp  # noqa: E402


def deviations(ap, as_):
    g = 10 ** (ap / 20)
    return (g - 1) / (g + 1), 10 ** (-as_ / 20)


def random_requirements(rng):
    kind = ["lpf", "hpf", "bpf", "brf"][int(rng.integers(0, 4))]
    ap = round(float(rng.uniform(0.1, 2.0)), 2)
    as_ = round(float(rng.uniform(30, 70)), 1)
    tw = float(rng.uniform(0.04, 0.1))
    if kind in ("lpf", "hpf"):
        f1 = float(rng.uniform(0.1, 0.35))
        edges = [f1, f1 + tw]
    else:
        lo = float(rng.uniform(0.06, 0.15))
        hi = float(rng.uniform(lo + 2 * tw + 0.08, 0.44))
        edges = [lo, lo + tw, hi - tw, hi]
    return kind, [round(1000 * e, 1) for e in edges], ap, as_


def optimum(kind, edges, taps, rr):
    return lp.lp_optimum(lp.filter_type(kind, 1000.0, edges, taps, rr))[0]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("cli")
    parser.add_argument("--count", type=int, default=30)
    parser.add_argument("--seed", type=int, default=3)
    args = parser.parse_args()
    rng = np.random.default_rng(args.seed)
    smaller = 0
    for _ in range(args.count):
        kind, edges, ap, as_ = random_requirements(rng)
        options = ["fir", "--type", kind, "--fs", "1000", "--edges",
                   ",".join(repr(e) for e in edges), "--ap", repr(ap), "--as", repr(as_)]
        run = subprocess.run([args.cli] + options, capture_output=True, text=True)
        taps = len(run.stdout.split())
        dp, ds = deviations(ap, as_)
        rr = dp / ds
        step = 2 if kind in ("hpf", "brf") else 1
        label = "%s edges=%s Ap=%g As=%g" % (kind, edges, ap, as_)
        if run.returncode != 0 or taps == 0:
            print("%-55s exit %d" % (label, run.returncode))
            continue
        at = optimum(kind, edges, taps, rr)
        below = [optimum(kind, edges, taps - k * step, rr) for k in (1, 2)]
        fewer = [taps - k * step for k, d in zip((1, 2), below) if d <= dp]
        smaller += bool(fewer)
        print("%-55s N=%3d: optimum/dp %.5f; at N-%d %.5f, N-%d %.5f%s" % (
            label, taps, at / dp, step, below[0] / dp, 2 * step, below[1] / dp,
            "  SMALLER MEETS: %s" % fewer if fewer else ""))
    print("%d of %d requirement sets: a smaller count meets them at the optimum" % (
        smaller, args.count))
    return 0


if __name__ == "__main__":
    sys.exit(main())
