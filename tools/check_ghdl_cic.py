#!/usr/bin/env python3
"""The generated CIC filters in GHDL against the bit-true model of `vantrel-cli cic`.

For every case (S 1 to 8, R up to 1024, DL 1 and 2) the VHDL of `cic ... --vhdl` runs in a
testbench that replays a random input once with random din_valid gaps and once at full rate
(din_valid always 1); every dout taken where dout_valid is 1 must equal the model's outputs, in
order and in number.

usage: check_ghdl_cic.py VANTREL_CLI [GHDL]"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cic_hdl_runner as cic  # noqa: E402

STD = "--std=93"


def run_case(cli, ghdl, case, full_rate, seed, prune=False):
    entity = "cic_interpolator" if case[0] else "cic_decimator"
    name = "%s%s S=%d R=%d DL=%d D=%d %s" % (entity, cic.variant_name(prune), *case[1:],
                                             "full rate" if full_rate else "gaps")
    with tempfile.TemporaryDirectory() as cwd:
        x, gaps = cic.stimulus(case, full_rate, seed)
        try:
            want = cic.model(cli, cwd, case, x, "--vhdl", "filter.vhd", prune)
        except RuntimeError as error:
            print("FAIL %s: %s" % (name, error))
            return 1
        cic.write_stimulus(cwd, x, gaps)
        with open(os.path.join(cwd, "tb.vhd"), "w") as f:
            f.write(cic.vhdl_testbench(case, entity))
        for step in ([ghdl, "-a", STD, "filter.vhd", "tb.vhd"], [ghdl, "-e", STD, "tb"],
                     [ghdl, "-r", STD, "tb"]):
            p = cic.run(step, cwd)
            if p.returncode != 0:
                print("FAIL %s: %s\n%s" % (name, " ".join(step), (p.stdout + p.stderr)[-2000:]))
                return 1
        return cic.compare(name, cic.read_outputs(cwd), want)


def synth_case(cli, ghdl, case, prune=False):
    entity = "cic_interpolator" if case[0] else "cic_decimator"
    name = "ghdl --synth %s%s S=%d R=%d DL=%d D=%d" % (entity, cic.variant_name(prune),
                                                      *case[1:])
    with tempfile.TemporaryDirectory() as cwd:
        p = cic.run([cli, "cic", *cic.cic_options(case, prune), "--vhdl", "filter.vhd"], cwd)
        if p.returncode == 0:
            p = cic.run([ghdl, "--synth", STD, "filter.vhd", "-e", entity], cwd)
        if p.returncode != 0:
            print("FAIL %s:\n%s" % (name, p.stderr[-2000:]))
            return 1
        print("ok   %s" % name)
        return 0


def testbench_case(cli, ghdl, own, other):
    """The testbench of `own` passes on its filter (with gaps and at full rate) and fails on the
    filter of `other`."""
    entity = "cic_interpolator" if own[0][0] else "cic_decimator"
    name = "testbench %s S=%d R=%d DL=%d D=%d%s" % (entity, *own[0][1:],
                                                     " pruned" if own[1] else "")
    failures = 0
    for filt, want_pass in ((own, True), (other, False)):
        with tempfile.TemporaryDirectory() as cwd:
            try:
                cic.write_filter(cli, cwd, *own, "--testbench", "tb.vhd")
                cic.write_filter(cli, cwd, *filt, "--vhdl", "filter.vhd")
            except RuntimeError as error:
                print("FAIL %s: %s" % (name, error))
                return 1
            p = cic.run([ghdl, "-a", STD, "filter.vhd", "tb.vhd"], cwd)
            if p.returncode == 0:
                p = cic.run([ghdl, "-e", STD, entity + "_tb"], cwd)
            if p.returncode != 0:
                print("FAIL %s: %s" % (name, (p.stdout + p.stderr)[-2000:]))
                return 1
            for generic in ([], ["-gfull_rate=true"]) if want_pass else ([],):
                p = cic.run([ghdl, "-r", STD, entity + "_tb", *generic], cwd)
                log = p.stdout + p.stderr
                passed = p.returncode == 0 and "PASS:" in log
                failed = p.returncode != 0 and "FAIL:" in log
                if (want_pass and not passed) or (not want_pass and not failed):
                    print("FAIL %s on %s filter %s: %s" % (
                        name, "its own" if want_pass else "another's", " ".join(generic),
                        log[-1500:]))
                    failures += 1
    if not failures:
        print("ok   %s: passes on its filter, fails on another's" % name)
    return failures


def main():
    cli = os.path.abspath(sys.argv[1])
    ghdl = sys.argv[2] if len(sys.argv) > 2 else "ghdl"
    failures = 0
    for i, case in enumerate(cic.CASES):
        for full_rate in (False, True):
            failures += run_case(cli, ghdl, case, full_rate, 100 + i)
    for i, case in enumerate(cic.PRUNED_CASES):
        for full_rate in (False, True):
            failures += run_case(cli, ghdl, case, full_rate, 300 + i, prune=True)
    for i, case in enumerate(cic.PIPELINED_CASES):
        for full_rate in (False, True):
            failures += run_case(cli, ghdl, case, full_rate, 500 + i, prune="--pipeline")
    for own, other in cic.TESTBENCH_PAIRS:
        failures += testbench_case(cli, ghdl, own, other)
    for case in ((False, 4, 16, 2, 12), (True, 3, 8, 1, 16)):
        failures += synth_case(cli, ghdl, case)
    failures += synth_case(cli, ghdl, (False, 4, 32, 1, 16), prune=True)
    failures += synth_case(cli, ghdl, (False, 4, 32, 1, 16), prune="--pipeline")
    print("FAILED" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
