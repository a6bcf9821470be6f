#!/usr/bin/env python3
"""The IIR design methods side by side with scipy, in one run.

1. Design time at the largest cascade, eight sections: our engine's design (the Google Benchmark
   binary, BM_IirMethodDesign{Lpf,Bpf}8: requirements to scaled second-order sections) and scipy's
   cheby1/butter/cheby2/ellip/bessel(..., output='sos') of the same order, timed with timeit in
   the same run. Both are in microseconds per design.
2. The section counts the four methods with a minimum-order formula need for three requirement
   sets, from `vantrel-cli iir --method M --ap --as --cutoff --stop` (the count it chose, or
   "> 8" where it exits 3), beside ceil(order / 2) (doubled for band types) of scipy's
   cheb1ord/buttord/cheb2ord/ellipord. Prints the table as Markdown.

usage: bench/iir_methods.py PATH/TO/vantrel_bench PATH/TO/vantrel-cli
"""
import json
import math
import subprocess
import sys
import timeit

from scipy import signal

BENCH, CLI = sys.argv[1], sys.argv[2]
FS = 1000.0
METHODS = ["cheby1", "butter", "cheby2", "ellip", "bessel"]  # the dsp::IirMethod order


def scipy_design(method, btype):
    """scipy's call for the benchmark's design: order 16 (LPF) or 8 (BPF, 16 poles)."""
    order, wn = (16, 200.0) if btype == "lowpass" else (8, [200.0, 300.0])
    kw = dict(btype=btype, output="sos", fs=FS)
    return {
        "cheby1": lambda: signal.cheby1(order, 0.5, wn, **kw),
        "butter": lambda: signal.butter(order, wn, **kw),
        "cheby2": lambda: signal.cheby2(order, 60.0, wn, **kw),
        "ellip": lambda: signal.ellip(order, 0.5, 60.0, wn, **kw),
        "bessel": lambda: signal.bessel(order, wn, norm="mag", **kw),
    }[method]


def scipy_us(call):
    timer = timeit.Timer(call)
    number, _ = timer.autorange()
    return min(timer.repeat(repeat=5, number=number)) / number * 1e6


def ours_us():
    out = subprocess.run([BENCH, "--benchmark_filter=BM_IirMethodDesign",
                          "--benchmark_format=json", "--benchmark_repetitions=3",
                          "--benchmark_report_aggregates_only=true"],
                         capture_output=True, text=True, check=True).stdout
    times = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        name, arg = b["run_name"].split("/")
        times[(name, METHODS[int(arg)])] = b["real_time"]  # microseconds (the bench's unit)
    return times


def timing_table():
    ours = ours_us()
    print("| method | LPF 8 sections: ours | scipy | BPF 8 sections: ours | scipy |")
    print("|---|---:|---:|---:|---:|")
    for m in METHODS:
        cells = []
        for bench_name, btype in (("BM_IirMethodDesignLpf8", "lowpass"),
                                  ("BM_IirMethodDesignBpf8", "bandpass")):
            cells += ["%.1f us" % ours[(bench_name, m)],
                      "%.1f us" % scipy_us(scipy_design(m, btype))]
        print("| %s | %s |" % (m, " | ".join(cells)))


# Requirement sets: type, pass edge(s), stop edge(s), Ap, As.
REQUIREMENTS = [
    ("lpf", [200.0], [250.0], 0.5, 60.0),
    ("hpf", [200.0], [150.0], 1.0, 40.0),
    ("bpf", [200.0, 300.0], [150.0, 350.0], 1.0, 40.0),
]
ORD = {"cheby1": signal.cheb1ord, "butter": signal.buttord, "cheby2": signal.cheb2ord,
       "ellip": signal.ellipord}


def cli_sections(method, ftype, passes, stops, ap, as_):
    p = subprocess.run([CLI, "iir", "--method", method, "--type", ftype,
                        "--cutoff", ",".join("%g" % f for f in passes),
                        "--stop", ",".join("%g" % f for f in stops),
                        "--ap", "%g" % ap, "--as", "%g" % as_],
                       capture_output=True, text=True, check=False)
    if p.returncode == 3:
        return "> 8"
    if p.returncode != 0:
        return "exit %d" % p.returncode
    first = p.stderr.splitlines()[0].split()  # "sections n ripple A", on standard error
    return first[1]


def scipy_sections(method, ftype, passes, stops, ap, as_):
    wp = passes[0] if len(passes) == 1 else passes
    ws = stops[0] if len(stops) == 1 else stops
    order, _ = ORD[method](wp, ws, ap, as_, fs=FS)
    n = math.ceil(order / 2)
    return 2 * n if ftype in ("brf", "bpf") else n, order


def sections_table():
    print("| requirements | " + " | ".join(ORD) + " |")
    print("|---|" + "---:|" * len(ORD))
    for ftype, passes, stops, ap, as_ in REQUIREMENTS:
        label = "%s pass %s, stop %s Hz, Ap %g dB, As %g dB (fs 1000)" % (
            ftype.upper(), "-".join("%g" % f for f in passes),
            "/".join("%g" % f for f in stops), ap, as_)
        cells = []
        for m in ORD:
            ours = cli_sections(m, ftype, passes, stops, ap, as_)
            ref, order = scipy_sections(m, ftype, passes, stops, ap, as_)
            expected = str(ref) if ref <= 8 else "> 8"
            cells.append("%s (order %d)%s" % (ours, order,
                                              "" if ours == expected else " MISMATCH"))
        print("| %s | %s |" % (label, " | ".join(cells)))


if __name__ == "__main__":
    timing_table()
    print()
    sections_table()
