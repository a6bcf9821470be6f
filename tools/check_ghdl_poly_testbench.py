#!/usr/bin/env python3
"""The VHDL testbench of the polyphase decimators and interpolators (`--testbench FILE.vhd`) in
GHDL: it passes on its own filter with din_valid gaps and at full rate, and fails on the filter
of another design of the same kind.

usage: check_ghdl_poly_testbench.py VANTREL_CLI [GHDL]"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import poly_testbench_runner as tb  # noqa: E402

STD = "--std=93"


def main():
    cli = os.path.abspath(sys.argv[1])
    ghdl = sys.argv[2] if len(sys.argv) > 2 else "ghdl"
    failures = 0
    for own, other in tb.PAIRS:
        entity = "firfilter_decim_tb" if "--decimate" in own else "firfilter_interp_tb"

        def build(cwd):
            for step in ([ghdl, "-a", STD, "filter.vhd", "tb.vhd"], [ghdl, "-e", STD, entity]):
                p = tb.run(step, cwd)
                if p.returncode != 0:
                    return "%s\n%s" % (" ".join(step), (p.stdout + p.stderr)[-2000:])
            return None

        def simulate(cwd, extra):
            return tb.run([ghdl, "-r", STD, entity, *extra], cwd)

        failures += tb.check_pair(cli, tempfile.TemporaryDirectory, own, other, "--vhdl",
                                  "tb.vhd", "filter.vhd", build, simulate,
                                  ["-gfull_rate=true"])
    print("FAILED" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
