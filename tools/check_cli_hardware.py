#!/usr/bin/env python3
"""The hardware options of vantrel-cli through the real program, without running the tools:
out-of-range --multipliers and --clock are refused with the dialog's message (exit status 2),
the options that need --vhdl, --testbench or --hw-report, and a run without the synthesis tools
on PATH, which names the Debian packages and exits with status 4.

usage: check_cli_hardware.py PATH/TO/vantrel-cli
"""
import os
import subprocess
import sys
import tempfile

CLI = os.path.abspath(sys.argv[1])
problems = []

FIR = ["fir", "--taps", "15", "--edges", "200,300", "--quantize", "12", "--data-bits", "10"]

with tempfile.TemporaryDirectory() as work:
    empty_path = os.path.join(work, "bin")
    os.mkdir(empty_path)
    # (arguments, PATH override, exit status, part of standard error)
    TABLE = [
        (FIR + ["--hw-report", "--multipliers", "0"], None, 2,
         "--multipliers: Please enter an integer between 1 and 64."),
        (FIR + ["--vhdl", os.path.join(work, "f.vhd"), "--multipliers", "65"], None, 2,
         "--multipliers: Please enter an integer between 1 and 64."),
        (FIR + ["--hw-report", "--clock", "0"], None, 2,
         "--clock: Please enter a number above 0 and at most 1000."),
        (FIR + ["--hw-report", "--clock", "1.5e9"], None, 2,
         "--clock: Please enter a number above 0 and at most 1000."),
        (FIR + ["--hw-report", "--clock", "fast"], None, 2, "--clock: Please enter a number."),
        (FIR + ["--hw-report", "--arch", "systolic"], None, 2,
         "--arch: expected serial, folded, parallel or auto"),
        (FIR + ["--hw-report", "--device", "ecp5"], None, 2, "--device: expected up5k or hx8k"),
        (["iir", "--quantize", "12", "--hw-report"], None, 2, "--hw-report needs --data-bits D"),
        (["fir", "--data-bits", "10", "--hw-report"], None, 2, "enable \"Quantize\""),
        (["fir", "--arch", "folded"], None, 2,
         "--arch needs --vhdl, --testbench or --hw-report"),
        (FIR + ["--vhdl", os.path.join(work, "g.vhd"), "--device", "hx8k"], None, 2,
         "--device needs --hw-report"),
        # No tool on PATH: the packages to install, and exit status 4.
        (FIR + ["--hw-report"], empty_path, 4,
         "install the Debian packages ghdl yosys nextpnr-ice40"),
    ]
    for args, path, status, text in TABLE:
        env = dict(os.environ)
        if path is not None:
            env["PATH"] = path
        run = subprocess.run([CLI] + args, capture_output=True, text=True, env=env, cwd=work)
        if run.returncode != status or text not in run.stderr:
            problems.append("%s: exit %d, stderr %r (expected %d and %r)"
                            % (" ".join(args), run.returncode, run.stderr.strip(), status, text))
        elif run.stdout:
            problems.append("%s: printed %r on a refusal" % (" ".join(args), run.stdout[:80]))

for p in problems:
    print(p)
print("%d problems" % len(problems))
sys.exit(1 if problems else 0)
