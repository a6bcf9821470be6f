#!/usr/bin/env python3
"""The generated polyphase decimators and interpolators in GHDL against the bit-true model of
`vantrel-cli fir ... --decimate M | --interpolate L --user FILE`, and the model against scipy's
upfirdn of the tap literals.

Every case (factor 2..16, taps up to 380, B 4..32, D 4..24) runs twice: with random din_valid
gaps and at full rate (din_valid always 1), the folded and auto hardware on cases of their own. Every sample must be taken, every dout where
dout_valid is 1 must equal the model's outputs in order and in number, and at full rate the
samples must come as fast as the header's clocks per job promise. A few cases also pass
`ghdl --synth`.

usage: check_ghdl_poly.py VANTREL_CLI [GHDL]"""
import os
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import poly_hdl_runner as poly  # noqa: E402

STD = "--std=93"


def sim_case(cli, ghdl, case, full_rate, seed, arch=()):
    with tempfile.TemporaryDirectory() as cwd:
        def simulate():
            for step in ([ghdl, "-a", STD, "filter.vhd", "tb.vhd"], [ghdl, "-e", STD, "tb"],
                         [ghdl, "-r", STD, "tb"]):
                p = poly.run(step, cwd)
                if p.returncode != 0:
                    return "%s\n%s" % (" ".join(step), (p.stdout + p.stderr)[-2000:])
            return None
        return poly.run_case(cli, cwd, case, full_rate, seed, "--vhdl", "filter.vhd", "tb.vhd",
                             poly.vhdl_testbench(case), simulate, arch)


def synth_case(cli, ghdl, case, arch=()):
    with tempfile.TemporaryDirectory() as cwd:
        p = poly.run([cli, *poly.fir_options(case), "--vhdl", "filter.vhd", *arch], cwd)
        if p.returncode in (0, 5):
            p = poly.run([ghdl, "--synth", STD, "filter.vhd", "-e", poly.entity(case)], cwd)
        return None if p.returncode == 0 else p.stderr[-2000:]


def main():
    cli = os.path.abspath(sys.argv[1])
    ghdl = sys.argv[2] if len(sys.argv) > 2 else "ghdl"
    runs = [(case, full_rate, 100 + i, ()) for i, case in enumerate(poly.CASES)
            for full_rate in (False, True)]
    runs += [(case, full_rate, 300 + i, tuple(arch))
             for i, (case, arch) in enumerate(poly.FOLDED_CASES) for full_rate in (False, True)]
    failures = 0
    with ThreadPoolExecutor(max_workers=2) as pool:
        results = pool.map(lambda r: sim_case(cli, ghdl, *r), runs)
        for (case, full_rate, _, arch), error in zip(runs, results):
            label = "%s %s%s" % (poly.name_of(case), " ".join(arch) + " " if arch else "",
                                 "full rate" if full_rate else "gaps")
            print(("FAIL %s: %s" % (label, error)) if error else ("ok   %s" % label))
            failures += error is not None
    for case, arch in [(poly.CASES[i], ()) for i in (2, 5, 7)] + \
            [poly.FOLDED_CASES[i] for i in (0, 2, 5)]:
        error = synth_case(cli, ghdl, case, arch)
        label = "%s %s" % (poly.name_of(case), " ".join(arch))
        print(("FAIL ghdl --synth %s: %s" % (label, error)) if error
              else ("ok   ghdl --synth %s" % label))
        failures += error is not None
    print("FAILED" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
