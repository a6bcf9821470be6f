"""Generated IIR cascades of the Butterworth, Chebyshev II, elliptic and Bessel methods against
their testbenches in GHDL: the hardware must stay bit-exact with the program's model for
scaled sections of every method. Each run must end with PASS."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ghdl_runner as g  # noqa: E402

CASES = [  # method, type, sections, cut-off, coefficient bits, data bits
    ("ellip", "lpf", 8, "60", 20, 16),
    ("ellip", "bpf", 4, "150,300", 16, 12),
    ("butter", "hpf", 3, "150", 16, 12),
    ("cheby2", "brf", 4, "150,300", 18, 14),
    ("bessel", "lpf", 5, "100", 14, 10),
]


def options(case):
    method, ftype, n, cutoff, b, d = case
    return ["--method", method, "--type", ftype, "--sections", str(n), "--cutoff", cutoff,
            "--ripple", "0.5", "--atten", "60", "--quantize", str(b), "--data-bits", str(d)]


def main():
    cli, ghdl = g.tools_from_argv()
    return g.run_cases("iir", CASES, lambda c: g.sim_case(cli, ghdl, "iir", options(c)))


if __name__ == "__main__":
    sys.exit(main())
