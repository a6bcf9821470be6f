#!/usr/bin/env python3
"""The generated CIC filters in Icarus Verilog against the bit-true model of `vantrel-cli cic`.

For every case (S 1 to 8, R up to 1024, DL 1 and 2) the Verilog of `cic ... --verilog` runs in a
testbench that replays a random input once with random din_valid gaps and once at full rate
(din_valid always 1); every dout taken where dout_valid is 1 must equal the model's outputs, in
order and in number.

usage: check_iverilog_cic.py VANTREL_CLI"""
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cic_hdl_runner as cic  # noqa: E402


def run_case(cli, case, full_rate, seed, prune=False):
    module = "cic_interpolator" if case[0] else "cic_decimator"
    name = "%s%s S=%d R=%d DL=%d D=%d %s" % (module, cic.variant_name(prune), *case[1:],
                                             "full rate" if full_rate else "gaps")
    with tempfile.TemporaryDirectory() as cwd:
        x, gaps = cic.stimulus(case, full_rate, seed)
        try:
            want = cic.model(cli, cwd, case, x, "--verilog", "filter.v", prune)
        except RuntimeError as error:
            print("FAIL %s: %s" % (name, error))
            return 1
        cic.write_stimulus(cwd, x, gaps)
        with open(os.path.join(cwd, "tb.v"), "w") as f:
            f.write(cic.verilog_testbench(case, module))
        for step in (["iverilog", "-g2001", "-o", "sim.vvp", "filter.v", "tb.v"],
                     ["vvp", "-n", "sim.vvp"]):
            p = cic.run(step, cwd)
            if p.returncode != 0:
                print("FAIL %s: %s\n%s" % (name, " ".join(step), (p.stdout + p.stderr)[-2000:]))
                return 1
        return cic.compare(name, cic.read_outputs(cwd), want)


def tool_case(cli, case, tool, prune=False):
    module = "cic_interpolator" if case[0] else "cic_decimator"
    name = "%s %s%s S=%d R=%d DL=%d D=%d" % (tool, module, cic.variant_name(prune), *case[1:])
    with tempfile.TemporaryDirectory() as cwd:
        p = cic.run([cli, "cic", *cic.cic_options(case, prune), "--verilog", module + ".v"], cwd)
        if p.returncode == 0:
            step = (["verilator", "--lint-only", "-Wall", module + ".v"] if tool == "verilator"
                    else ["yosys", "-q", "-p", "read_verilog %s.v; synth -top %s" % (module, module)])
            p = cic.run(step, cwd)
        if p.returncode != 0 or (tool == "verilator" and p.stderr.strip()):
            print("FAIL %s:\n%s" % (name, (p.stdout + p.stderr)[-2000:]))
            return 1
        print("ok   %s" % name)
        return 0


def testbench_case(cli, own, other):
    """The testbench of `own` passes on its filter (with gaps and at full rate) and fails on the
    filter of `other`."""
    module = "cic_interpolator" if own[0][0] else "cic_decimator"
    name = "testbench %s S=%d R=%d DL=%d D=%d%s" % (module, *own[0][1:],
                                                     " pruned" if own[1] else "")
    failures = 0
    for filt, want_pass in ((own, True), (other, False)):
        with tempfile.TemporaryDirectory() as cwd:
            try:
                cic.write_filter(cli, cwd, *own, "--testbench", "tb.v")
                cic.write_filter(cli, cwd, *filt, "--verilog", "filter.v")
            except RuntimeError as error:
                print("FAIL %s: %s" % (name, error))
                return 1
            p = cic.run(["iverilog", "-g2005", "-o", "sim.vvp", "filter.v", "tb.v"], cwd)
            if p.returncode != 0:
                print("FAIL %s: %s" % (name, (p.stdout + p.stderr)[-2000:]))
                return 1
            for plusarg in ([], ["+full_rate"]) if want_pass else ([],):
                p = cic.run(["vvp", "-n", "sim.vvp", *plusarg], cwd)
                log = p.stdout + p.stderr
                passed = p.returncode == 0 and "PASS:" in log
                failed = p.returncode != 0 and "FAIL:" in log
                if (want_pass and not passed) or (not want_pass and not failed):
                    print("FAIL %s on %s filter %s: %s" % (
                        name, "its own" if want_pass else "another's", " ".join(plusarg),
                        log[-1500:]))
                    failures += 1
    if not failures:
        print("ok   %s: passes on its filter, fails on another's" % name)
    return failures


def main():
    cli = os.path.abspath(sys.argv[1])
    failures = 0
    for i, case in enumerate(cic.CASES):
        for full_rate in (False, True):
            failures += run_case(cli, case, full_rate, 200 + i)
    for i, case in enumerate(cic.PRUNED_CASES):
        for full_rate in (False, True):
            failures += run_case(cli, case, full_rate, 400 + i, prune=True)
    for i, case in enumerate(cic.PIPELINED_CASES):
        for full_rate in (False, True):
            failures += run_case(cli, case, full_rate, 600 + i, prune="--pipeline")
    for own, other in cic.TESTBENCH_PAIRS:
        failures += testbench_case(cli, own, other)
    for tool in ("verilator", "yosys"):
        if shutil.which(tool) is None:
            print("skipped: %s is not installed" % tool)
            continue
        for case in ((False, 4, 16, 2, 12), (True, 3, 8, 1, 16)):
            failures += tool_case(cli, case, tool)
        failures += tool_case(cli, (False, 4, 32, 1, 16), tool, prune=True)
        failures += tool_case(cli, (False, 4, 32, 1, 16), tool, prune="--pipeline")
    print("FAILED" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
