#!/usr/bin/env python3
"""Cost and speed of every architecture on an iCE40, as vantrel-cli --hw-report gives them: the
README's 15-tap low-pass (B 12, D 10), its 61-tap band-pass (B 16, D 12) and an 8-section
low-pass IIR cascade (B 16, D 12), each serial, folded and parallel, in VHDL and in Verilog.
Prints a Markdown table; a design that does not fit or whose tools fail gets its message in the
table instead of figures. Slow (tens of minutes: one synthesis and --seeds placements and routes
per row).

usage: bench/hw_table.py PATH/TO/vantrel-cli [--device up5k|hx8k] [--clock HZ] [--seeds N]
                         [--languages vhdl,verilog] [--only TEXT] [--hw-timeout S]
"""
import argparse
import os
import subprocess
import tempfile
import time

LOWPASS = ["fir", "--fs", "48000", "--edges", "8000,12000", "--taps", "15", "--quantize", "12",
           "--data-bits", "10"]
BANDPASS = ["fir", "--type", "bpf", "--fs", "8000", "--edges", "800,1000,2000,2200", "--taps",
            "61", "--quantize", "16", "--data-bits", "12"]
IIR = ["iir", "--type", "lpf", "--fs", "48000", "--cutoff", "4000", "--sections", "8",
       "--quantize", "16", "--data-bits", "12"]
ROWS = [
    ("low-pass FIR, 15 taps", LOWPASS, "serial", None),
    ("low-pass FIR, 15 taps", LOWPASS, "folded", 2),
    ("low-pass FIR, 15 taps", LOWPASS, "folded", 4),
    ("low-pass FIR, 15 taps", LOWPASS, "parallel", None),
    ("band-pass FIR, 61 taps", BANDPASS, "serial", None),
    ("band-pass FIR, 61 taps", BANDPASS, "folded", 4),
    ("band-pass FIR, 61 taps", BANDPASS, "folded", 8),
    ("band-pass FIR, 61 taps", BANDPASS, "parallel", None),
    ("low-pass IIR, 8 sections", IIR, "serial", None),
    ("low-pass IIR, 8 sections", IIR, "folded", 2),
    ("low-pass IIR, 8 sections", IIR, "folded", 5),
    ("low-pass IIR, 8 sections", IIR, "parallel", None),
]
KEYS = ["luts", "logic_cells", "ffs", "dsps", "brams", "fmax_mhz", "cycles_per_sample",
        "max_sample_rate_hz"]


def run_row(cli, base, arch, k, language, args, folder):
    command = [cli] + base + ["--arch", arch, "--hw-report", "--device", args.device,
                              "--seeds", args.seeds, "--hw-timeout", args.hw_timeout]
    if args.clock:
        command += ["--clock", args.clock]
    if k:
        command += ["--multipliers", str(k)]
    if language == "verilog":
        # Only --verilog written: the report places the Verilog twin.
        command += ["--verilog", os.path.join(folder, "filter.v")]
    start = time.monotonic()
    run = subprocess.run(command, capture_output=True, text=True)
    seconds = time.monotonic() - start
    values = dict(line.split(" ", 1) for line in run.stdout.splitlines() if " " in line)
    if all(key in values for key in KEYS):
        cells = [values[key] for key in KEYS]
        if run.returncode == 6:
            cells[-1] += " (" + run.stderr.strip().splitlines()[-1] + ")"
    else:
        message = (run.stderr.strip().splitlines() or ["exit %d" % run.returncode])[-1]
        cells = [message] + [""] * (len(KEYS) - 1)
    return cells, seconds


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli")
    parser.add_argument("--device", default="up5k")
    parser.add_argument("--clock", default=None,
                        help="target clock in Hz (default: the report's own default)")
    parser.add_argument("--seeds", default="3")
    parser.add_argument("--hw-timeout", default="1800",
                        help="seconds each report may take (a loaded machine needs more)")
    parser.add_argument("--languages", default="vhdl,verilog")
    parser.add_argument("--only", default=None, help="rows whose 'design, architecture' contains TEXT")
    args = parser.parse_args()
    languages = [name for name in args.languages.split(",") if name]
    for name in languages:
        if name not in ("vhdl", "verilog"):
            parser.error("unknown language %s" % name)
    print("| design | architecture | language | " + " | ".join(KEYS) + " | seconds |")
    print("|---" * (len(KEYS) + 4) + "|")
    with tempfile.TemporaryDirectory() as folder:
        for design, base, arch, k in ROWS:
            name = arch + (" %d" % k if k else "")
            if args.only and args.only not in design + ", " + name:
                continue
            for language in languages:
                cells, seconds = run_row(args.cli, base, arch, k, language, args, folder)
                print("| %s | %s | %s | %s | %.0f |" % (design, name, language, " | ".join(cells),
                                                        seconds), flush=True)


if __name__ == "__main__":
    main()
