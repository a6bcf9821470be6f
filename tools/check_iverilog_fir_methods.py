"""Generated Verilog FIR filters of the least-squares and Kaiser-window methods against their
testbenches in Icarus Verilog: with gaps in din_valid and at full rate both runs must end with
PASS and vvp must exit 0, so the hardware stays bit-exact with the program's model.

usage: check_iverilog_fir_methods.py VANTREL_CLI"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_iverilog_arch as iv  # noqa: E402
import check_ghdl_fir_methods as cases  # noqa: E402

CASES = [  # method, type, taps, band edges, coefficient bits, data bits
    ("kaiser", "lpf", 40, "150,220", 16, 12),
    ("ls", "brf", 51, "100,150,300,350", 18, 14),
]


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: %s VANTREL_CLI" % os.path.basename(sys.argv[0]))
    cli = os.path.abspath(sys.argv[1])
    failures = 0
    for case in CASES:
        with tempfile.TemporaryDirectory() as cwd:
            error, _, _, _ = iv.run_design(cli, cwd, "fir", cases.options(case))
        print(("FAILED " if error else "ok     ") + " ".join(map(str, case)))
        if error:
            print(error)
            failures += 1
    print("%d of %d fir method cases failed" % (failures, len(CASES)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
