"""Generated FIR filters of the least-squares and Kaiser-window methods against their testbenches
in GHDL: the hardware must stay bit-exact with the program's model for the taps of either
method. Each run must end with PASS."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ghdl_runner as g  # noqa: E402

CASES = [  # method, type, taps, band edges, coefficient bits, data bits
    ("ls", "bpf", 61, "100,140,300,340", 16, 12),
    ("kaiser", "hpf", 45, "150,200", 14, 10),
]


def options(case):
    method, ftype, n, edges, b, d = case
    extra = ["--beta", "6.5"] if method == "kaiser" else ["--rr", "5"]
    return ["--method", method, "--type", ftype, "--taps", str(n), "--edges", edges,
            "--quantize", str(b), "--data-bits", str(d)] + extra


def main():
    cli, ghdl = g.tools_from_argv()
    return g.run_cases("fir", CASES, lambda c: g.sim_case(cli, ghdl, "fir", options(c)))


if __name__ == "__main__":
    sys.exit(main())
