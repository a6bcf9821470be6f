#!/usr/bin/env python3
"""The README's 61-tap band-pass (fs 8000, edges 800,1000,2000,2200, B 16, D 12) on an iCE40,
as vantrel-cli --hw-report gives it: as a single-rate filter whose outputs are kept 1 in 8
(serial and folded 8; every input sample goes through the filter), against the same taps as a
decimator by 8 (serial and folded 2), which computes only the kept outputs. Prints a Markdown
table (medians over the seeds, as --hw-report reports them) and whether the decimator reaches
the single-rate design's input rate with at most a quarter of its multipliers. Slow: one
synthesis and several placements and routings per row, run one after another.

usage: bench/poly_table.py PATH/TO/vantrel-cli [--device up5k|hx8k] [--seeds N] [--clock HZ]
"""
import argparse
import subprocess
import time

FIR = ["fir", "--type", "bpf", "--fs", "8000", "--edges", "800,1000,2000,2200", "--taps", "61",
       "--quantize", "16", "--data-bits", "12"]
# (design, extra options, architecture, multipliers asked for)
ROWS = [
    ("single-rate, keep 1 of 8 outputs", [], "serial", None),
    ("single-rate, keep 1 of 8 outputs", [], "folded", 8),
    ("`--decimate 8`", ["--decimate", "8"], "serial", None),
    ("`--decimate 8`", ["--decimate", "8"], "folded", 2),
]
KEYS = ["luts", "logic_cells", "ffs", "dsps", "brams", "fmax_mhz"]


def report(cli, extra, arch, k, args):
    command = [cli] + FIR + extra + ["--arch", arch, "--hw-report", "--device", args.device,
                                     "--seeds", str(args.seeds), "--clock", args.clock]
    if k:
        command += ["--multipliers", str(k)]
    start = time.monotonic()
    run = subprocess.run(command, capture_output=True, text=True)
    values = dict(line.split(" ", 1) for line in run.stdout.splitlines() if " " in line)
    return run, values, time.monotonic() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli")
    parser.add_argument("--device", default="up5k")
    parser.add_argument("--seeds", type=int, default=3)
    parser.add_argument("--clock", default="48e6")
    args = parser.parse_args()
    print("| design | architecture | multipliers | LUTs | logic cells | FFs | DSPs | BRAMs | "
          "Fmax (MHz) | clocks per input sample | input samples/s | seconds |")
    print("|---" * 12 + "|")
    rows = []
    for design, extra, arch, k in ROWS:
        run, values, seconds = report(args.cli, extra, arch, k, args)
        if not all(key in values for key in KEYS + ["architecture", "cycles_per_sample"]):
            message = (run.stderr.strip().splitlines() or ["exit %d" % run.returncode])[-1]
            print("| %s | %s | %s |%s %.0f |" % (design, arch, message, " |" * 8, seconds),
                  flush=True)
            continue
        # "architecture folded 8", "architecture polyphase folded 2": the last word is the
        # multiplier count the template instantiates (none for serial single-rate).
        words = values["architecture"].split()
        multipliers = int(words[-1]) if words[-1].isdigit() else 1
        # A single-rate filter takes every input sample: its sample rate is the input rate.
        rate = float(values.get("max_input_rate_hz", values["max_sample_rate_hz"]))
        note = ""
        if run.returncode == 6:
            note = " (" + run.stderr.strip().splitlines()[-1] + ")"
        rows.append((design, arch, multipliers, rate))
        print("| %s | %s | %d | %s | %s | %.0f%s | %.0f |" % (
            design, " ".join(words), multipliers, " | ".join(values[key] for key in KEYS),
            values["cycles_per_sample"], rate, note, seconds), flush=True)
    single = [r for r in rows if r[0].startswith("single")]
    decim = [r for r in rows if not r[0].startswith("single")]
    for d in decim:
        for s in single:
            if d[2] * 4 <= s[2]:
                print("\n%s %s: %d of the %d multipliers of the single-rate %s, %.0f against %.0f "
                      "input samples/s: the target is %s" % (
                          d[0], d[1], d[2], s[2], s[1], d[3], s[3],
                          "met" if d[3] >= s[3] else "not met"))

if __name__ == "__main__":
    main()
