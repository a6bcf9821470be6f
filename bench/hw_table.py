#!/usr/bin/env python3
"""Cost and speed of every architecture on an iCE40, as vantrel-cli --hw-report gives them: the
README's 61-tap band-pass (B 16, D 12) and an 8-section low-pass IIR cascade (B 16, D 12), each
serial, folded and parallel. Prints a Markdown table; a design that does not fit or whose tools
fail gets its message in the table instead of figures. Slow (several minutes: one synthesis,
placement and routing per row).

usage: bench/hw_table.py PATH/TO/vantrel-cli [--device up5k|hx8k] [--clock HZ]
"""
import argparse
import subprocess
import time

FIR = ["fir", "--type", "bpf", "--fs", "8000", "--edges", "800,1000,2000,2200", "--taps", "61",
       "--quantize", "16", "--data-bits", "12"]
IIR = ["iir", "--type", "lpf", "--fs", "48000", "--cutoff", "4000", "--sections", "8",
       "--quantize", "16", "--data-bits", "12"]
ROWS = [
    ("band-pass FIR, 61 taps", FIR, "serial", None),
    ("band-pass FIR, 61 taps", FIR, "folded", 4),
    ("band-pass FIR, 61 taps", FIR, "folded", 8),
    ("band-pass FIR, 61 taps", FIR, "parallel", None),
    ("low-pass IIR, 8 sections", IIR, "serial", None),
    ("low-pass IIR, 8 sections", IIR, "folded", 2),
    ("low-pass IIR, 8 sections", IIR, "folded", 5),
    ("low-pass IIR, 8 sections", IIR, "parallel", None),
]
KEYS = ["luts", "logic_cells", "ffs", "dsps", "brams", "fmax_mhz", "cycles_per_sample", "max_sample_rate_hz"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli")
    parser.add_argument("--device", default="up5k")
    parser.add_argument("--clock", default="12e6")
    args = parser.parse_args()
    print("| design | architecture | " + " | ".join(KEYS) + " | seconds |")
    print("|---" * (len(KEYS) + 3) + "|")
    for design, base, arch, k in ROWS:
        command = [args.cli] + base + ["--arch", arch, "--hw-report", "--device", args.device,
                                       "--clock", args.clock]
        if k:
            command += ["--multipliers", str(k)]
        start = time.monotonic()
        run = subprocess.run(command, capture_output=True, text=True)
        seconds = time.monotonic() - start
        values = dict(line.split(" ", 1) for line in run.stdout.splitlines() if " " in line)
        name = arch + (" %d" % k if k else "")
        if all(key in values for key in KEYS):
            cells = [values[key] for key in KEYS]
            if run.returncode == 6:
                cells[-1] += " (" + run.stderr.strip().splitlines()[-1] + ")"
        else:
            message = (run.stderr.strip().splitlines() or ["exit %d" % run.returncode])[-1]
            cells = [message] + [""] * (len(KEYS) - 1)
        print("| %s | %s | %s | %.0f |" % (design, name, " | ".join(cells), seconds), flush=True)


if __name__ == "__main__":
    main()
