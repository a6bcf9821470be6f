#!/usr/bin/python3
"""Time of one RemezDesign against one scipy.signal.remez on the same low-pass layout, at 31, 90
and 380 taps, measured alternately in one run so that both see the same machine load.

Each round runs the benchmark binary for one tap count (its per-design CPU time) and then
scipy.signal.remez through timeit (the best of a few repeats, per design), and the ratio of the
two. The median over the rounds is printed per tap count.

usage: remez_vs_scipy.py PATH/TO/vantrel_bench [--rounds 5]"""
import argparse
import json
import statistics
import subprocess
import timeit

import scipy.signal as signal

TAPS = [31, 90, 380]


def layout(taps):
    # As bench/RemezBench.cpp: 0.2/0.25 (0.2/0.21 at 380 taps), stop band weighted 10.
    stop = 0.21 if taps >= 380 else 0.25
    return [0.0, 0.2, stop, 0.5], [1.0, 0.0], [1.0, 10.0]


def ours(bench, taps):
    run = subprocess.run([bench, "--benchmark_filter=^RemezDesign/%d$" % taps,
                          "--benchmark_format=json", "--benchmark_min_time=0.3"],
                         capture_output=True, text=True, check=True)
    result = json.loads(run.stdout)["benchmarks"][0]
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[result["time_unit"]]
    return result["cpu_time"] * scale


def theirs(taps):
    bands, desired, weight = layout(taps)
    call = lambda: signal.remez(taps, bands, desired, weight=weight, fs=1.0)  # noqa: E731
    timer = timeit.Timer(call, timer=__import__("time").process_time)
    number, _ = timer.autorange()
    return min(timer.repeat(repeat=3, number=number)) / number


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("bench")
    parser.add_argument("--rounds", type=int, default=5)
    args = parser.parse_args()
    ratios = {taps: [] for taps in TAPS}
    for round_ in range(args.rounds):
        for taps in TAPS:
            a = ours(args.bench, taps)
            b = theirs(taps)
            ratios[taps].append(a / b)
            print("round %d N=%3d: RemezDesign %8.3f ms, scipy %8.3f ms, ratio %.3f" % (
                round_ + 1, taps, 1e3 * a, 1e3 * b, a / b), flush=True)
    for taps in TAPS:
        print("N=%3d: median ratio %.3f (RemezDesign / scipy.signal.remez)" % (
            taps, statistics.median(ratios[taps])))


if __name__ == "__main__":
    main()
