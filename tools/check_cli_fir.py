#!/usr/bin/python3
"""Checks the contract of `vantrel-cli fir`: standard output carries only taps, refused input
gives the warning on standard error with exit status 2, a failed design exit status 3, a design
short of the equiripple optimum exit status 5, and the automatic adjustment designs once more
with the proposal reported on standard error.

usage: check_cli_fir.py PATH/TO/vantrel-cli
"""
import subprocess
import sys

# arguments, expected exit status, text expected on stderr, expected number of stdout lines
CASES = [
    ([], 0, "", 90),
    (["--type", "hpf", "--taps", "90"], 0, "", 90),  # designed with 89, listed with 90
    (["--type", "brf", "--edges", "200,250,350,400", "--taps", "61"], 0, "", 61),
    (["--type", "bpf", "--edges", "200,210,350,400", "--taps", "61"], 0,
     "Warning!! The result might be bad. (fc2-fc1) had better equal to (fc4-fc3).", 61),
    (["--edges", "200,500"], 2, "Frequencies need to be Fc1 < Fc2 < Fs/2.", 0),
    (["--type", "bpf", "--edges", "200,250,350,500"], 2,
     "Frequencies need to be Fc1 < Fc2 < Fc3 < Fc4 < Fs/2.", 0),
    (["--taps", "3"], 2, "Please enter an integer between 4 and 380.", 0),
    (["--taps", "381"], 2, "Please enter an integer between 4 and 380.", 0),
    (["--taps", "9.5"], 2, "Please enter an integer.", 0),
    (["--fs", "1e3x"], 2, "Please enter a number.", 0),
    (["--rr", "nan"], 2, "Please enter a number.", 0),
    (["--type", "lpf", "--edges", "200"], 2, "needs 2 band edges", 0),
    (["--type", "xyz"], 2, "expected lpf, hpf, brf, bpf, hilbert or differentiator", 0),
    (["--bogus", "1"], 2, "unknown option", 0),
    (["--edges", "1,2", "--taps", "4"], 3, "The design failed", 0),
    # 380 taps cannot reach the stop band in 50 Hz: both proposals give a working design.
    (["--taps", "380", "--edges", "200,250"], 3, "The design failed", 0),
    # Unbalanced transition bands are warned about and accepted: a design that then fails is a
    # failed design (3), not refused input (2).
    (["--type", "brf", "--fs", "1", "--edges", "0.05,0.1,0.3,0.4", "--taps", "250"], 3,
     "The design failed", 0),
    # The optimum of a wide band stop has taps beyond 20 (a large bump in the transition band).
    (["--type", "brf", "--fs", "1", "--edges", "0.05,0.1,0.3,0.4", "--taps", "113"], 0,
     "had better equal to", 113),
    (["--taps", "380", "--edges", "200,250", "--auto", "edges"], 0,
     "Auto Band Edge Adjustment: fc2 = 217", 380),
    (["--taps", "380", "--edges", "200,250", "--auto", "taps"], 0,
     "Auto Tap Count Adjustment: N = 127", 127),
    # A proposal that fails again is a failure, not a success. RR above a million (which once
    # gave a proposal below 4 taps) is refused as entered; at a million the proposal designs.
    (["--edges", "1,2", "--taps", "20", "--auto", "edges"], 3,
     "The design failed again after the adjustment.", 0),
    (["--edges", "200,260", "--taps", "4", "--rr", "1e12", "--auto", "taps"], 2,
     "--rr: Please enter a number above 0 and at most 1000000.", 0),
    (["--edges", "200,260", "--taps", "4", "--rr", "1e6", "--auto", "taps"], 0,
     "Auto Tap Count Adjustment: N = 50", 50),
    (["--auto", "sometimes"], 2, "expected taps or edges", 0),
    # A design that ends short of the equiripple optimum still prints its taps, names the
    # achieved and the target ripple on standard error, and exits 5; the next tap count
    # reaches the optimum and exits 0 with nothing on standard error.
    (["--edges", "56,113", "--rr", "6.5", "--taps", "252"], 5,
     "The design is short of the equiripple optimum: weighted ripple ", 252),
    (["--edges", "56,113", "--rr", "6.5", "--taps", "120"], 0, "", 120),
]


def main():
    cli = sys.argv[1]
    failures = 0
    for args, status, err_text, lines in CASES:
        run = subprocess.run([cli, "fir"] + args, capture_output=True, text=True)
        out_lines = run.stdout.splitlines()
        problems = []
        if run.returncode != status:
            problems.append(f"exit {run.returncode}, expected {status}")
        if err_text not in run.stderr:
            problems.append(f"stderr {run.stderr.strip()!r} lacks {err_text!r}")
        if lines is not None and len(out_lines) != lines:
            problems.append(f"{len(out_lines)} stdout lines, expected {lines}")
        for line in out_lines:
            try:
                float(line)
            except ValueError:
                problems.append(f"stdout line {line!r} is not a number")
                break
        if status == 0 and not err_text and run.stderr:
            problems.append(f"unexpected stderr {run.stderr.strip()!r}")
        print(("FAIL " if problems else "ok   ") + " ".join(args) + ("; " if problems else "") +
              "; ".join(problems))
        failures += 1 if problems else 0
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
