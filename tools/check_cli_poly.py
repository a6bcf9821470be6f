#!/usr/bin/env python3
"""fir --decimate M and --interpolate L through the real program, as one table: the refusals
(exit status 2 with the reason, no file written, nothing on standard output), the outputs of
--user in place of the taps, and the header lines of the generated files.

usage: check_cli_poly.py PATH/TO/vantrel-cli
"""
import os
import subprocess
import sys
import tempfile

CLI = sys.argv[1]
problems = []

with tempfile.TemporaryDirectory() as work:
    wave = os.path.join(work, "wave.txt")
    with open(wave, "w") as f:
        f.write("100 -200 300 511 -512 7 8 9 10 11\n")
    bad_wave = os.path.join(work, "bad.txt")
    with open(bad_wave, "w") as f:
        f.write("100 512\n")
    out = os.path.join(work, "f.vhd")
    Q = ["--quantize", "12", "--data-bits", "10"]
    BPF = ["fir", "--type", "bpf", "--fs", "8000", "--edges", "800,1000,2000,2200", "--taps", "61"]

    # (arguments, exit status, part of standard error, part of standard output, file written)
    TABLE = [
        (["fir", "--decimate", "3", "--interpolate", "2"], 2,
         "--decimate and --interpolate cannot be given together", "", False),
        (["fir", "--decimate", "1"], 2, "--decimate: Please enter an integer between 2 and 64.",
         "", False),
        (["fir", "--interpolate", "65"], 2,
         "--interpolate: Please enter an integer between 2 and 64.", "", False),
        (["fir", "--decimate", "x"], 2, "--decimate", "", False),
        (["fir", *Q, "--decimate", "4", "--vhdl", out, "--testbench", os.path.join(work, "t.vhd")],
         2, "--testbench is of single-rate filters", "", False),
        (["fir", *Q, "--decimate", "4", "--vhdl", out, "--arch", "folded"], 2,
         "--arch serial only", "", False),
        (["fir", "--decimate", "4", "--vhdl", out, "--data-bits", "10"], 2, "--quantize B is needed",
         "", False),
        (["fir", "--quantize", "12", "--decimate", "4", "--user", wave], 2,
         "need --data-bits D", "", False),
        (["fir", *Q, "--decimate", "4", "--user", bad_wave], 2,
         "sample 2 \"512\" is not an integer from -512 to 511", "", False),
        (["fir", *Q, "--interpolate", "2", "--user", wave, "--wave", "sine"], 2,
         "--user replaces --wave and --freq", "", False),
        (["iir", *Q, "--decimate", "2"], 2, "unknown option '--decimate'", "", False),
        # Printed in place of the taps: 10 samples by 4 give outputs 0, 4 and 8.
        (["fir", *Q, "--decimate", "4", "--user", wave], 0, "", "Decimation = 4\ninputs 10\n"
         "outputs 3\n0 ", False),
        (["fir", *Q, "--interpolate", "3", "--user", wave], 0, "",
         "Interpolation = 3\ninputs 10\noutputs 30\n", False),
        (["fir", *Q, "--decimate", "4", "--wave", "square"], 0, "", "inputs 700\noutputs 175\n",
         False),
        # The README's band-pass: taps 0 and 60 quantize to 0 at 12 bits and are left out.
        ([*BPF, *Q, "--decimate", "8", "--vhdl", out], 0, "", "", True),
    ]
    for args, status, err, stdout, written in TABLE:
        if os.path.exists(out):
            os.remove(out)
        p = subprocess.run([CLI, *args], capture_output=True, text=True)
        label = " ".join(args).replace(work + "/", "")
        if p.returncode != status:
            problems.append("%s: exit %d, want %d (%s)" % (label, p.returncode, status,
                                                           p.stderr.strip()))
        if err not in p.stderr:
            problems.append("%s: standard error lacks %r: %r" % (label, err, p.stderr))
        if status != 0 and p.stdout:
            problems.append("%s: refused but printed %r" % (label, p.stdout[:200]))
        if stdout not in p.stdout:
            problems.append("%s: standard output lacks %r" % (label, stdout))
        if os.path.exists(out) != written:
            problems.append("%s: file %s" % (label, "not written" if written else "written"))

    # The generated header names the hardware and the rate; the body holds no token.
    p = subprocess.run([CLI, *BPF, *Q, "--decimate", "8", "--vhdl", out], capture_output=True,
                       text=True)
    with open(out) as f:
        text = f.read()
    for line in ("-- Architecture = polyphase, 1 multiplier, ", " clocks per 8 input samples\n",
                 "-- Decimation = 8\n", "entity firfilter_decim is"):
        if line not in text:
            problems.append("decimate 8 VHDL lacks %r" % line)
    if "was not replaced" in p.stderr:
        problems.append("decimate 8 VHDL left tokens: %s" % p.stderr)
    vout = os.path.join(work, "f.v")
    p = subprocess.run([CLI, *BPF, *Q, "--interpolate", "4", "--verilog", vout],
                       capture_output=True, text=True)
    with open(vout) as f:
        text = f.read()
    for line in ("// Interpolation = 4\n", "module firfilter_interp ("):
        if line not in text:
            problems.append("interpolate 4 Verilog lacks %r" % line)

for problem in problems:
    print("FAIL", problem)
print("FAILED" if problems else "all passed")
sys.exit(1 if problems else 0)
