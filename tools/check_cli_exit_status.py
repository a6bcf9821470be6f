#!/usr/bin/env python3
"""The exit statuses of vantrel-cli, through the real program, as one table: 0 done, 2 input
refused, 3 design failed, 4 a file or standard output not written, 5 fir short of the equiripple
optimum. Each row names what standard error must hold; a refused or failed run prints no data.

usage: check_cli_exit_status.py PATH/TO/vantrel-cli
"""
import os
import subprocess
import sys
import tempfile

CLI = sys.argv[1]
problems = []

with tempfile.TemporaryDirectory() as work:
    coeffs = os.path.join(work, "c.txt")
    wave = os.path.join(work, "wave.txt")
    with open(wave, "w") as f:
        f.write(" ".join(str((i % 9) - 4) for i in range(200)))
    no_folder = os.path.join(work, "none", "x")
    Q = ["--quantize", "16", "--data-bits", "12"]

    # (arguments, standard output to /dev/full, exit status, part of standard error)
    TABLE = [
        # ---- 0: done, on every subcommand
        (["fir", "--save-coeffs", coeffs], False, 0, ""),
        (["iir", "--report", "--quantize", "12", "--format", "hex"], False, 0, ""),
        (["wave", "--structure", "iir", "--spectrum"], False, 0, ""),
        (["wave", "--user", wave], False, 0, ""),
        (["load", coeffs, "--measure", "--edges", "200,250"], False, 0, ""),
        (["fir", "--type", "bpf", "--edges", "200,210,350,400", "--taps", "61"], False, 0,
         "(fc2-fc1) had better equal to (fc4-fc3)."),  # an advisory warning designs anyway
        (["fir", "--taps", "380", "--edges", "200,250", "--auto", "taps"], False, 0,
         "Auto Tap Count Adjustment: N = "),
        (["fir", "--help"], False, 0, ""),
        # the largest RR and display range still design and draw
        (["fir", "--rr", "1e6", "--taps", "61"], False, 0, ""),
        (["wave", "--mag-range", "1e6", "--wave-range", "1e6"], False, 0, ""),
        # ---- 2: input refused, by the parser, by a range check and by a warning
        ([], False, 2, "usage: vantrel-cli"),
        (["design"], False, 2, "unknown command 'design'"),
        (["iir", "--taps", "5"], False, 2, "unknown option '--taps'"),
        (["fir", "--rr"], False, 2, "option '--rr' needs a value"),
        (["fir", "--taps", "31x"], False, 2, "--taps: Please enter an integer."),
        (["fir", "--type", "notch"], False, 2,
         "--type: expected lpf, hpf, brf, bpf, hilbert or differentiator"),
        (["fir", "--taps", "381"], False, 2, "--taps: Please enter an integer between 4 and 380."),
        # Digits beyond the int range get the field's range message, not "not an integer".
        (["fir", "--taps", "99999999999"], False, 2,
         "--taps: Please enter an integer between 4 and 380."),
        (["fir", "--mult", "99999999999"], False, 2,
         "--mult: Please enter an integer between 1 and 2147483647."),
        (["iir", "--sections", "-99999999999"], False, 2,
         "--sections: Please enter an integer between 1 and 8."),
        (["fir", "--edges", "300,250"], False, 2, "Frequencies need to be Fc1 < Fc2 < Fs/2."),
        (["iir", "--type", "bpf", "--cutoff", "100,200", "--sections", "3"], False, 2,
         "2, 4, 6 or 8."),
        (["iir", "--ripple", "25"], False, 2, "--ripple: Please enter a number above 0 and at most 20."),
        (["fir", "--quantize", "3"], False, 2,
         "--quantize: Please enter an integer between 4 and 32."),
        (["fir", "--report", "--format", "bin"], False, 2, "--format bin, dec and hex need --quantize B."),
        (["fir", "--freq-start", "101"], False, 2,
         "--freq-start: Please enter an integer between 0 and 100."),
        (["wave", "--mag-range", "0"], False, 2,
         "--mag-range: Please enter a number above 0 and at most 1000000."),
        (["fir", "--rr", "1e12"], False, 2,
         "--rr: Please enter a number above 0 and at most 1000000."),
        (["fir", "--gain-range", "1e300"], False, 2,
         "--gain-range: Please enter a number above 0 and at most 1000000."),
        (["wave", "--wave-range", "1000001"], False, 2,
         "--wave-range: Please enter a number above 0 and at most 1000000."),
        (["wave", "--freq", "0"], False, 2, "--freq: Please enter a number above 0 and at most"),
        (["wave", "--quantize", "16", "--hardware", "--data-bits", "30"], False, 2,
         "--data-bits: Please enter an integer between 4 and 24."),
        (["fir", "--vhdl", os.path.join(work, "f.vhd"), "--data-bits", "12"], False, 2,
         "--quantize B is needed for --vhdl"),
        (["fir"] + Q + ["--vhdl", os.path.join(work, "f.vhd"), "--template",
                        os.path.join(work, "missing.vhd")], False, 2, "was not found."),
        (["load", os.path.join(work, "missing.txt")], False, 2, "Invalid File Name"),
        # a bare coefficient file brings no bands to measure against
        (["load", coeffs, "--measure"], False, 2, "give them to load as --edges"),
        (["open", os.path.join(work, "missing.vantrel")], False, 2, "missing.vantrel: "),
        (["open", coeffs], False, 2, "not a design file"),
        (["wave", "--user", os.path.join(work, "missing.txt")], False, 2, "cannot be opened"),
        # two outputs on one file, however it is spelled: refused before anything is written
        (["fir"] + Q + ["--vhdl", os.path.join(work, "same.vhd"), "--testbench",
                        os.path.join(work, "same.vhd")], False, 2,
         "--vhdl and --testbench name the same file"),
        (["fir", "--save-coeffs", os.path.join(work, "same.txt"), "--response",
          os.path.join(work, "sub", "..", "same.txt")], False, 2,
         "--save-coeffs and --response name the same file"),
        # ---- 3: the design failed, with and without the adjustment
        (["fir", "--edges", "1,2", "--taps", "4"], False, 3, "The design failed (Remez exchange)"),
        (["fir", "--edges", "1,2", "--taps", "20", "--auto", "edges"], False, 3,
         "The design failed again after the adjustment."),
        (["wave", "--edges", "1,2", "--taps", "4"], False, 3, "The design failed"),
        (["iir", "--ripple", "1e-300", "--sections", "8"], False, 3, "The IIR design failed"),
        # requirements whose chosen tap count fails to design: what the search reached
        (["fir", "--edges", "0.3384867456071095,0.41740127187499626", "--ap", "3", "--as",
          "120"], False, 3, "The requirements cannot be met: no tap count the search tried (1, up "
         "to 380) designs with RR "),
        (["wave", "--structure", "iir", "--ripple", "1e-300", "--sections", "8"], False, 3,
         "The IIR design failed"),
        # ---- 4: a file or standard output not written
        (["fir"], True, 4, "standard output: No space left on device"),
        (["iir", "--report"], True, 4, "standard output: No space left on device"),
        (["wave", "--spectrum"], True, 4, "standard output: No space left on device"),
        (["load", coeffs], True, 4, "standard output: No space left on device"),
        (["--help"], True, 4, "standard output: No space left on device"),
        (["fir", "--response", "/dev/full"], False, 4, "No space left on device"),
        (["iir", "--save-coeffs", no_folder], False, 4, "cannot be opened (No such file"),
        (["fir"] + Q + ["--vhdl", no_folder], False, 4, "No such file or directory"),
        (["iir"] + Q + ["--testbench", no_folder], False, 4, "No such file or directory"),
        (["fir", "--save-design", no_folder], False, 4, "--save-design: "),
        # ---- 5: fir short of the optimum; its taps are still printed
        (["fir", "--edges", "56,113", "--rr", "6.5", "--taps", "252"], False, 5,
         "short of the equiripple optimum"),
        (["fir", "--edges", "56,113", "--rr", "6.5", "--taps", "252", "--report"], False, 5,
         "short of the equiripple optimum"),
    ]

    # --plot needs a build with Qt; without, every --plot is refused.
    probe = subprocess.run([CLI, "fir", "--plot", "response"], capture_output=True, text=True,
                           timeout=60)
    if "not available in this build" in probe.stderr:
        TABLE.append((["fir", "--plot", "response", "--out", os.path.join(work, "p.png")], False,
                      2, "plot files are not available in this build"))
    else:
        TABLE += [
            (["fir", "--plot", "response", "--out", os.path.join(work, "p.png")], False, 0, ""),
            (["fir", "--plot", "bode", "--out", os.path.join(work, "p.png")], False, 2,
             "--plot: 'bode' is not response, waves, spectrum, groupdelay, polezero, impulse or step"),
            (["wave", "--plot", "waves"], False, 2, "give both"),
            (["iir", "--plot", "response", "--out", no_folder + ".svg"], False, 4,
             "No such file or directory"),
            (["fir", "--edges", "1,2", "--taps", "4", "--plot", "response", "--out",
              os.path.join(work, "failed.png")], False, 3, "The design failed"),
        ]

    for args, full, status, part in TABLE:
        if full:
            with open("/dev/full", "w") as out:
                run = subprocess.run([CLI] + args, stdout=out, stderr=subprocess.PIPE, text=True,
                                     timeout=300)
            printed = None
        else:
            run = subprocess.run([CLI] + args, capture_output=True, text=True, timeout=300)
            printed = run.stdout
        label = " ".join(args) or "(no arguments)"
        if run.returncode != status:
            problems.append(f"{label}: exit status {run.returncode}, expected {status} "
                            f"(stderr: {run.stderr.strip()[:200]!r})")
        elif part not in run.stderr:
            problems.append(f"{label}: stderr {run.stderr.strip()[:200]!r} lacks {part!r}")
        if status in (2, 3) and printed:
            problems.append(f"{label}: a refused or failed run printed {printed[:80]!r}")
        if status in (0, 5) and printed == "":
            problems.append(f"{label}: printed nothing")

    for name in ("same.vhd", "same.txt"):
        if os.path.exists(os.path.join(work, name)):
            problems.append(f"{name}: written by a run refused for two outputs on it")

if problems:
    print("\n".join(problems))
    sys.exit(1)
print(f"check_cli_exit_status: {len(TABLE)} runs, each with its exit status")
