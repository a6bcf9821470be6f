#!/usr/bin/env python3
"""The Verilog testbench of the polyphase decimators and interpolators (`--testbench FILE.v`) in
Icarus Verilog: it passes on its own filter with din_valid gaps and at full rate, and fails on
the filter of another design of the same kind.

usage: check_iverilog_poly_testbench.py VANTREL_CLI"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import poly_testbench_runner as tb  # noqa: E402


def build(cwd):
    p = tb.run(["iverilog", "-g2005", "-o", "sim.vvp", "filter.v", "tb.v"], cwd)
    return None if p.returncode == 0 else (p.stdout + p.stderr)[-2000:]


def simulate(cwd, extra):
    return tb.run(["vvp", "-n", "sim.vvp", *extra], cwd)


def main():
    cli = os.path.abspath(sys.argv[1])
    failures = 0
    for own, other in tb.PAIRS:
        failures += tb.check_pair(cli, tempfile.TemporaryDirectory, own, other, "--verilog",
                                  "tb.v", "filter.v", build, simulate, ["+full_rate"])
    print("FAILED" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
