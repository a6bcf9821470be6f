#!/usr/bin/python3
"""Checks that `vantrel-cli fir` designs reach the true weighted-minimax optimum: the largest
weighted error E of the taps (65,537 points per band and the band edges) may exceed the optimum a
linear programme finds (lp_minimax.py, HiGHS) by at most 0.01 %. Every kind of layout: low-,
high-, band-pass and band-stop filters with odd and even tap counts, Hilbert transformers,
differentiators and multiband layouts. The reference must bracket its own optimum to 1e-6, or
the case fails as unproven.

usage: check_minimax.py PATH/TO/vantrel-cli"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import lp_minimax as lp  # noqa: E402

GAP = 1e-4          # 0.01 % of the optimum
REFERENCE_GAP = 1e-6

CASES = [
    lp.filter_type("lpf", 1000, [200, 250], 31, 10),
    lp.filter_type("lpf", 1000, [200, 250], 41, 1),
    lp.filter_type("lpf", 1000, [100, 150], 30, 1),
    lp.filter_type("lpf", 48000, [4000, 6000], 64, 3.5),
    lp.filter_type("hpf", 1000, [200, 250], 31, 10),
    lp.filter_type("hpf", 1000, [300, 340], 81, 100),
    lp.filter_type("brf", 1000, [100, 150, 300, 350], 41, 1),
    lp.filter_type("brf", 1000, [200, 240, 330, 400], 56, 20),
    lp.filter_type("bpf", 1000, [200, 250, 350, 400], 60, 10),
    lp.filter_type("bpf", 16000, [2000, 2500, 4000, 4500], 47, 100),
    lp.special("hilbert", 1000, [50, 450], 31),
    lp.special("hilbert", 1000, [50, 500], 30),
    lp.special("differentiator", 1000, [0, 400], 27),
    lp.special("differentiator", 1000, [0, 500], 40),
    lp.multiband(1000, [0, 100, 150, 250, 300, 500], [0, 1, 0], [10, 1, 5], 51),
    lp.multiband(1000, [0, 80, 120, 200, 240, 320, 360, 500], [1, 0, 0.5, 0], [1, 20, 2, 20], 70),
]


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    cli = sys.argv[1]
    failures = 0
    worst = 0.0
    for layout in CASES:
        h, status, message = lp.cli_taps(cli, layout)
        if h is None:
            print("FAIL %s: exit %d: %s" % (layout.label, status, message))
            failures += 1
            continue
        lower, upper, _ = lp.lp_optimum(layout)
        if upper > lower * (1 + REFERENCE_GAP):
            print("FAIL %s: the reference brackets its optimum only to %.2g" % (
                layout.label, upper / lower - 1))
            failures += 1
            continue
        ours = lp.weighted_error(layout, h)
        gap = ours / lower - 1
        worst = max(worst, gap)
        ok = gap <= GAP
        failures += 0 if ok else 1
        print("%s %s: E %.9g, optimum %.9g (%+.5f %%)" % (
            "ok  " if ok else "FAIL", layout.label, ours, lower, 100 * gap))
    print("%d of %d designs within 0.01 %% of the optimum (largest gap %.5f %%)" % (
        len(CASES) - failures, len(CASES), 100 * worst))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
