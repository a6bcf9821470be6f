"""Generated Verilog of the IIR cascades of every design method (Chebyshev I, Butterworth,
Chebyshev II, elliptic, Bessel) against their testbenches in Icarus Verilog: the hardware must
stay bit-exact with the program's model for the scaled sections of each method. Every design runs
with gaps in din_valid and at full rate; both runs must end with PASS and vvp must exit 0.

usage: check_iverilog_iir_methods.py VANTREL_CLI"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_iverilog_arch as iv  # noqa: E402
import ghdl_runner as g  # noqa: E402

CASES = [  # method, type, sections, cut-off(s), coefficient bits, data bits, architecture
    ("cheby1", "lpf", 4, "120", 16, 12, "serial"),
    ("butter", "hpf", 3, "150", 16, 12, "parallel"),
    ("cheby2", "brf", 4, "150,300", 18, 14, "serial"),
    ("ellip", "lpf", 8, "60", 20, 16, "folded"),
    ("bessel", "bpf", 6, "100,250", 14, 10, "serial"),
]


def case_options(case):
    method, ftype, n, cutoff, b, d, architecture = case
    return ["--method", method, "--type", ftype, "--sections", str(n), "--cutoff", cutoff,
            "--ripple", "0.5", "--atten", "60", "--quantize", str(b), "--data-bits", str(d),
            "--arch", architecture]


def worker(cli):
    def run(case):
        with tempfile.TemporaryDirectory() as cwd:
            error, text, _, _ = iv.run_design(cli, cwd, "iir", case_options(case))
            if error:
                return error
            # The header names a method other than Chebyshev I.
            named = "// Design Method = " in text
            if named != (case[0] != "cheby1"):
                return "the Verilog header %s the method" % ("names" if named else "omits")
            return None
    return run


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    cli = os.path.abspath(sys.argv[1])
    return g.run_cases("iir", CASES, worker(cli))


if __name__ == "__main__":
    sys.exit(main())
