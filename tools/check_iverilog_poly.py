#!/usr/bin/env python3
"""The generated polyphase decimators and interpolators in Icarus Verilog against the bit-true
model of `vantrel-cli fir ... --decimate M | --interpolate L --user FILE`, and the model against
scipy's upfirdn of the tap literals; the same cases as check_ghdl_poly.py, with random din_valid
gaps and at full rate, and the folded and auto hardware on their own cases. A few cases also pass `verilator --lint-only -Wall` without a warning
and map with yosys, the folded ones onto the iCE40 (when they are installed).

usage: check_iverilog_poly.py VANTREL_CLI"""
import os
import shutil
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import poly_hdl_runner as poly  # noqa: E402


def sim_case(cli, case, full_rate, seed, arch=()):
    with tempfile.TemporaryDirectory() as cwd:
        def simulate():
            for step in (["iverilog", "-g2001", "-o", "sim.vvp", "filter.v", "tb.v"],
                         ["vvp", "-n", "sim.vvp"]):
                p = poly.run(step, cwd)
                if p.returncode != 0:
                    return "%s\n%s" % (" ".join(step), (p.stdout + p.stderr)[-2000:])
            return None
        return poly.run_case(cli, cwd, case, full_rate, seed, "--verilog", "filter.v", "tb.v",
                             poly.verilog_testbench(case), simulate, arch)


def tool_case(cli, case, tool, arch=()):
    module = poly.entity(case)
    with tempfile.TemporaryDirectory() as cwd:
        p = poly.run([cli, *poly.fir_options(case), "--verilog", module + ".v", *arch], cwd)
        if p.returncode in (0, 5):
            step = (["verilator", "--lint-only", "-Wall", module + ".v"] if tool == "verilator"
                    else ["yosys", "-q", "-p", "read_verilog %s.v; %s -top %s" % (
                        module, "synth_ice40" if arch else "synth", module)])
            p = poly.run(step, cwd)
        if p.returncode != 0 or (tool == "verilator" and p.stderr.strip()):
            return (p.stdout + p.stderr)[-2000:]
        return None


def main():
    cli = os.path.abspath(sys.argv[1])
    runs = [(case, full_rate, 100 + i, ()) for i, case in enumerate(poly.CASES)
            for full_rate in (False, True)]
    runs += [(case, full_rate, 300 + i, tuple(arch))
             for i, (case, arch) in enumerate(poly.FOLDED_CASES) for full_rate in (False, True)]
    failures = 0
    with ThreadPoolExecutor(max_workers=2) as pool:
        results = pool.map(lambda r: sim_case(cli, *r), runs)
        for (case, full_rate, _, arch), error in zip(runs, results):
            label = "%s %s%s" % (poly.name_of(case), " ".join(arch) + " " if arch else "",
                                 "full rate" if full_rate else "gaps")
            print(("FAIL %s: %s" % (label, error)) if error else ("ok   %s" % label))
            failures += error is not None
    for tool in ("verilator", "yosys"):
        if shutil.which(tool) is None:
            print("skip %s: not installed" % tool)
            continue
        for case, arch in [(poly.CASES[i], ()) for i in (2, 3, 5, 7)] + \
                [poly.FOLDED_CASES[i] for i in (0, 2, 3, 5)]:
            error = tool_case(cli, case, tool, arch)
            label = "%s %s %s" % (tool, poly.name_of(case), " ".join(arch))
            print(("FAIL %s: %s" % (label, error)) if error else ("ok   %s" % label))
            failures += error is not None
    print("FAILED" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
