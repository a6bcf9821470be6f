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
        # The testbench is that of the rate changer; the wave options are its stimulus.
        (["fir", *Q, "--decimate", "4", "--vhdl", out, "--testbench", os.path.join(work, "t.vhd")],
         0, "", "", True),
        (["fir", "--quantize", "12", "--decimate", "4", "--testbench",
          os.path.join(work, "t.vhd")], 2, "--testbench need --data-bits D", "", False),
        # Serial, folded and auto are built under a rate change, parallel is refused.
        (["fir", *Q, "--decimate", "4", "--vhdl", out, "--arch", "folded"], 0, "", "", True),
        (["fir", *Q, "--interpolate", "4", "--vhdl", out, "--arch", "auto"], 0, "", "", True),
        (["fir", *Q, "--decimate", "4", "--vhdl", out, "--arch", "parallel"], 2,
         "--arch parallel with --decimate or --interpolate: the parallel architecture is not "
         "built for a rate change", "", False),
        # 64 lanes pad each of the 5 phases' products to two rows: 640 table entries.
        (["fir", "--method", "kaiser", "--taps", "380", "--quantize", "24", "--data-bits", "10",
          "--interpolate", "5",
          "--vhdl", out, "--arch", "folded", "--multipliers", "64"], 2,
         "choose fewer multipliers", "", False),
        (["fir", "--method", "kaiser", "--taps", "380", "--quantize", "24", "--data-bits", "10",
          "--interpolate", "5",
          "--vhdl", out, "--arch", "folded", "--multipliers", "8"], 0, "", "", True),
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
    # The folded and auto headers against the serial one's product count E (its clocks per
    # job are E + 1): ceil(E / K) + 1 clocks per job with K lanes, and auto the fewest lanes
    # whose job fits 8 * clock / fs clocks.
    import re
    products = int(re.search(r"polyphase, 1 multiplier, (\d+) clocks", text).group(1)) - 1
    for arch, lanes, suffix in ((["--arch", "folded", "--multipliers", "2"], 2, "\n"),
                                (["--arch", "folded", "--multipliers", "3"], 3, "\n"),
                                (["--arch", "auto", "--clock", "16000"],
                                 next(k for k in range(1, 65)
                                      if max(8, -(-products // k) + 1) <= 16),
                                 " (auto for a 0.016 MHz clock)\n"),
                                (["--arch", "auto", "--clock", "4000"], 64,
                                 " (auto for a 0.004 MHz clock, which it cannot keep up with)\n")):
        lanes = min(lanes, products)
        p = subprocess.run([CLI, *BPF, *Q, "--decimate", "8", "--vhdl", out, *arch],
                           capture_output=True, text=True)
        with open(out) as f:
            folded = f.read()
        want = "-- Architecture = polyphase folded, %d multipliers, %d clocks per 8 input samples%s" \
            % (lanes, max(8, -(-products // lanes) + 1), suffix)
        if want not in folded or "architecture folded of firfilter_decim" not in folded:
            problems.append("%s: header lacks %r: %r" % (" ".join(arch), want,
                                                         folded[:folded.find("library")]))
        if "was not replaced" in p.stderr:
            problems.append("%s: left tokens: %s" % (" ".join(arch), p.stderr))
    vout = os.path.join(work, "f.v")
    p = subprocess.run([CLI, *BPF, *Q, "--interpolate", "4", "--verilog", vout],
                       capture_output=True, text=True)
    with open(vout) as f:
        text = f.read()
    for line in ("// Interpolation = 4\n", "module firfilter_interp ("):
        if line not in text:
            problems.append("interpolate 4 Verilog lacks %r" % line)

    # With --testbench, --wave is the testbench's stimulus: the model's outputs are not printed
    # in place of the taps, and the testbench is of the rate changer, in the language of its file name.
    for kind, path, lines in (
            ("--decimate", os.path.join(work, "t.vhd"),
             ("entity firfilter_decim_tb is", "dut : entity work.firfilter_decim\n",
              "decimation by 4")),
            ("--interpolate", os.path.join(work, "t.v"),
             ("module firfilter_interp_tb;", "  firfilter_interp dut (", "interpolation by 4"))):
        if os.path.exists(path):
            os.remove(path)
        p = subprocess.run([CLI, *BPF, *Q, kind, "4", "--testbench", path, "--wave", "square"],
                           capture_output=True, text=True)
        if p.returncode != 0 or "inputs " in p.stdout or "ation = 4" in p.stdout:
            problems.append("%s 4 --testbench: exit %d, printed %r" % (kind, p.returncode,
                                                                      p.stdout[:200]))
        text = open(path).read() if os.path.exists(path) else ""
        for line in lines:
            if line not in text:
                problems.append("%s 4 testbench lacks %r" % (kind, line))

for problem in problems:
    print("FAIL", problem)
print("FAILED" if problems else "all passed")
sys.exit(1 if problems else 0)
