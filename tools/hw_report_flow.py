#!/usr/bin/env python3
"""One real synthesis, placement and routing run of --hw-report (GHDL, yosys, nextpnr-ice40): a
small serial FIR on the UP5K, the report's ten lines in order with Y = X * 1e6 / C and the
serial clock count N' + 2; the same design held to a clock it cannot meet exits with status 6
and still prints its figures; the serial FIR's one multiplier takes one DSP block and the
8-section serial cascade's two. No work folder is left behind. The runs get a
temporary folder (TMPDIR) of their own, made for this check and removed after it, so a report run
elsewhere on the machine neither shows up here as a stray work folder nor hides one. Slow (about
30 s): registered with the CTest label "slow".

usage: hw_report_flow.py PATH/TO/vantrel-cli
"""
import atexit
import os
import shutil
import subprocess
import sys
import tempfile

CLI = os.path.abspath(sys.argv[1])
problems = []
KEYS = ["architecture", "cycles_per_sample", "device", "luts", "logic_cells", "ffs", "dsps",
        "brams", "fmax_mhz", "max_sample_rate_hz"]
FIR = ["fir", "--fs", "48000", "--edges", "8000,12000", "--taps", "15", "--quantize", "12",
       "--data-bits", "10", "--hw-report"]


# The temporary folder the report runs make their work folders in.
PRIVATE_TMP = tempfile.mkdtemp(prefix="vantrel-hw-flow-")
atexit.register(shutil.rmtree, PRIVATE_TMP, True)
ENV = dict(os.environ, TMPDIR=PRIVATE_TMP)


def report(args):
    run = subprocess.run([CLI] + args, capture_output=True, text=True, env=ENV)
    lines = [line.split(" ", 1) for line in run.stdout.splitlines()]
    return run, dict((k, v) for k, v in lines), [k for k, _ in lines]


def work_folders():
    return set(n for n in os.listdir(PRIVATE_TMP) if n.startswith("vantrel-hw-"))


run, values, keys = report(FIR + ["--clock", "12e6"])
if run.returncode != 0 or keys != KEYS:
    problems.append("serial up5k: exit %d, keys %s, stderr %r" % (run.returncode, keys, run.stderr))
else:
    cycles = int(values["cycles_per_sample"])
    fmax = float(values["fmax_mhz"])
    rate = float(values["max_sample_rate_hz"])
    if values["architecture"] != "serial" or cycles != 17 or values["device"] != "up5k":
        problems.append("serial up5k: %s" % values)
    # One DSP block for the one 12 x 10 multiplier.
    if not (int(values["luts"]) > 0 and int(values["ffs"]) > 0 and int(values["dsps"]) == 1):
        problems.append("serial up5k: implausible cell counts %s" % values)
    # Every LUT sits in a logic cell; carry-only cells come on top.
    if int(values["logic_cells"]) < int(values["luts"]):
        problems.append("serial up5k: fewer logic cells than LUTs %s" % values)
    if "fmax over 3 seeds: median %.2f MHz" % fmax not in run.stderr:
        problems.append("serial up5k: no seed spread on standard error: %r" % run.stderr)
    if not 12.0 <= fmax < 500.0 or abs(rate - fmax * 1e6 / cycles) > 0.5:
        problems.append("serial up5k: fmax %s and rate %s disagree" % (fmax, rate))

run, values, keys = report(FIR + ["--clock", "400e6"])
if run.returncode != 6 or "misses the 400.00 MHz clock" not in run.stderr or keys != KEYS:
    problems.append("missed clock: exit %d, keys %s, stderr %r"
                    % (run.returncode, keys, run.stderr))
# The 8-section serial cascade, whose GHDL netlist once tripped an assertion in yosys 0.23's DSP
# mapping, maps its products to DSP blocks as its Verilog twin does.
# One seed at the 12 MHz it reaches in logic: its placement is the slowest of the check.
IIR8 = ["iir", "--fs", "48000", "--cutoff", "4000", "--sections", "8", "--quantize", "16",
        "--data-bits", "12", "--hw-report", "--seeds", "1", "--clock", "12e6"]
run, values, keys = report(IIR8)
if run.returncode != 0 or keys != KEYS:
    problems.append("iir 8 sections: exit %d, keys %s, stderr %r"
                    % (run.returncode, keys, run.stderr))
elif int(values["dsps"]) != 2 or "multipliers in logic" in run.stderr:
    # Its products are 18 x 16 bits: two DSP blocks, as its Verilog twin takes.
    problems.append("iir 8 sections: not 2 DSP blocks: %s, %r" % (values, run.stderr))
elif int(values["cycles_per_sample"]) != 49:
    problems.append("iir 8 sections: %s" % values)
left = work_folders()
if left:
    problems.append("work folders left behind: %s" % sorted(left))

for p in problems:
    print(p)
print("%d problems" % len(problems))
sys.exit(1 if problems else 0)
