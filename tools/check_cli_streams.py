#!/usr/bin/env python3
"""Standard input and output of vantrel-cli, through the real program:
- every option that writes a file writes exactly that file's bytes to standard output for "-",
  and nothing else is printed there;
- what one run writes to standard output, another reads back from standard input ("load -",
  "open -", "--user -") with the same result as through a file;
- a write that fails (a missing folder, a full or closed standard output) is exit status 4 with
  nothing on standard output;
- "-" twice on one side, or beside a printout, is refused (exit status 2) before anything runs;
- standard input is read however slowly it comes, and refused beyond 4 MiB or as a directory.

usage: check_cli_streams.py PATH/TO/vantrel-cli
"""
import os
import subprocess
import sys
import tempfile

CLI = os.path.abspath(sys.argv[1])
problems = []
Q = ["--quantize", "16", "--data-bits", "12"]


def run(args, stdin=None, cwd=None, stdout=subprocess.PIPE):
    return subprocess.run([CLI] + args, input=stdin, stdout=stdout, stderr=subprocess.PIPE,
                          cwd=cwd)


def check(label, ok, detail=""):
    if ok:
        print("ok     " + label)
    else:
        problems.append(label + (": " + detail if detail else ""))


def pipe(first, second, slow=0.0):
    """first | second; with `slow`, the bytes reach second that many seconds late."""
    a = run(first)
    if a.returncode != 0:
        return a, None
    if slow:
        script = 'sleep %s; cat' % slow
        feed = subprocess.Popen(["sh", "-c", script], stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE)
        b = subprocess.Popen([CLI] + second, stdin=feed.stdout, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE)
        feed.stdout.close()
        feed.stdin.write(a.stdout)
        feed.stdin.close()
        out, err = b.communicate(timeout=60)
        feed.wait()
        return a, subprocess.CompletedProcess(second, b.returncode, out, err)
    return a, run(second, stdin=a.stdout)


with tempfile.TemporaryDirectory() as work:
    plots = run(["fir", "--plot", "response", "--out", os.path.join(work, "p.svg")])
    has_plots = plots.returncode == 0

    # ---- "-" writes what the file would hold, and only that
    # (label, arguments, the option, its file name, more arguments)
    OUTPUTS = [
        ("coefficient file", ["fir", "--quantize", "16", "--format", "hex"], "--save-coeffs",
         "c.txt", []),
        ("response", ["iir", "--sections", "4"], "--response", "r.txt", []),
        ("VHDL", ["fir"] + Q, "--vhdl", "f.vhd", []),
        ("Verilog", ["iir"] + Q, "--verilog", "f.v", []),
        ("testbench", ["fir"] + Q, "--testbench", "tb.vhd", []),
        ("export", ["iir", "--quantize", "16"], "--export", "e.json",
         ["--export-format", "json"]),
        ("design file", ["fir", "--taps", "31"], "--save-design", "d.vantrel", []),
    ]
    if has_plots:
        OUTPUTS.append(("plot", ["fir", "--plot", "response"], "--out", "p.svg",
                        ["--out-format", "svg"]))
    for label, args, option, name, more in OUTPUTS:
        path = os.path.join(work, name)
        to_file = run(args + [option, path] + more, cwd=work)
        to_stdout = run(args + [option, "-"] + more, cwd=work)
        with open(path, "rb") as f:
            written = f.read()
        check("%s %s -: standard output holds the file alone" % (label, option),
              to_file.returncode == 0 and to_stdout.returncode == 0 and written
              and to_stdout.stdout == written,
              "exit %d/%d, %d bytes on standard output, file %d bytes; %s" % (
                  to_file.returncode, to_stdout.returncode, len(to_stdout.stdout),
                  len(written), to_stdout.stderr.decode(errors="replace").strip()))

    # ---- A pipe from one run into another gives what a file gives
    wave = os.path.join(work, "wave.txt")
    with open(wave, "w") as f:
        f.write("\n".join(str((i % 13) - 6) for i in range(300)))
    ROUND_TRIPS = [
        ("FIR real", ["fir", "--quantize", "16", "--save-coeffs", "-", "--format", "real"],
         ["load", "-", "--quantize", "16"], ["fir", "--quantize", "16"], 0),
        ("FIR bin", ["fir", "--quantize", "16", "--save-coeffs", "-", "--format", "bin"],
         ["load", "-", "--quantize", "16"], ["fir", "--quantize", "16"], 0),
        ("FIR dec", ["fir", "--quantize", "12", "--save-coeffs", "-", "--format", "dec"],
         ["load", "-", "--quantize", "12"], ["fir", "--quantize", "12"], 0),
        ("FIR hex", ["fir", "--type", "bpf", "--taps", "61", "--quantize", "20", "--save-coeffs",
                     "-", "--format", "hex"],
         ["load", "-", "--quantize", "20"],
         ["fir", "--type", "bpf", "--taps", "61", "--quantize", "20"], 0),
        ("IIR dec", ["iir", "--sections", "4", "--quantize", "16", "--save-coeffs", "-",
                     "--format", "dec"],
         ["load", "-", "--structure", "iir", "--quantize", "16"],
         ["iir", "--sections", "4", "--quantize", "16"], 0),
        ("design file", ["iir", "--type", "bpf", "--sections", "4", "--save-design", "-"],
         ["open", "-"], ["iir", "--type", "bpf", "--sections", "4"], 0),
        # The writer takes longer than a FIFO's writer may stay silent: standard input waits.
        ("a slow writer", ["fir", "--quantize", "16", "--save-coeffs", "-"],
         ["load", "-", "--quantize", "16"], ["fir", "--quantize", "16"], 2.5),
    ]
    for label, first, second, direct, slow in ROUND_TRIPS:
        a, b = pipe(first, second, slow)
        want = run(direct)
        check("%s through a pipe" % label,
              b is not None and b.returncode == 0 and want.returncode == 0 and b.stdout
              and b.stdout == want.stdout,
              "exit %s, %s" % (a.returncode if b is None else b.returncode,
                               (a.stderr if b is None else b.stderr).decode(errors="replace")))
    with open(wave, "rb") as f:
        user = run(["wave", "--user", "-"], stdin=f.read())
    named = run(["wave", "--user", wave])
    check("wave --user - reads the wave from standard input",
          user.returncode == 0 and user.stdout and user.stdout == named.stdout,
          user.stderr.decode(errors="replace"))

    # ---- A failed write leaves standard output empty
    missing = os.path.join(work, "no-folder", "x")
    FAILURES = [
        (["fir", "--export", missing + ".csv"], "no-folder"),
        (["fir", "--quantize", "16", "--save-coeffs", missing], "no-folder"),
        (["iir", "--response", missing], "no-folder"),
        (["fir", "--save-design", missing], "no-folder"),
        (["iir", "--measure", "--save-design", missing], "no-folder"),
        (["fir", "--quantize", "16", "--report", "--export", "/dev/full", "--export-format",
          "csv"], "No space left on device"),
    ]
    if has_plots:
        FAILURES.append((["wave", "--plot", "waves", "--out", missing + ".png"], "no-folder"))
    for args, reason in FAILURES:
        p = run(args)
        err = p.stderr.decode(errors="replace")
        check("failed write, nothing printed: " + " ".join(args[:1] + args[-2:]),
              p.returncode == 4 and p.stdout == b"" and reason in err,
              "exit %d, %d bytes on standard output, %s" % (p.returncode, len(p.stdout), err))
    full = [(["fir", "--save-coeffs", "-"], "/dev/full"),
            (["iir", "--quantize", "16", "--export", "-", "--export-format", "c"], "/dev/full"),
            (["fir", "--quantize", "16", "--vhdl", "-", "--data-bits", "12"], "/dev/full")]
    for args, target in full:
        with open(target, "wb") as sink:
            p = run(args, stdout=sink)
        err = p.stderr.decode(errors="replace")
        check("%s to %s: exit 4" % (" ".join(args), target),
              p.returncode == 4 and "standard output: No space left on device" in err,
              "exit %d, %s" % (p.returncode, err))
    closed = subprocess.run(["sh", "-c", 'exec "$@" >&-', "sh", CLI, "fir", "--save-coeffs",
                             "-"], capture_output=True, text=True)
    check("--save-coeffs - with standard output closed: exit 4",
          closed.returncode == 4 and "standard output:" in closed.stderr,
          "exit %d, %s" % (closed.returncode, closed.stderr))

    # ---- Refused before anything runs
    REFUSALS = [
        (["fir", "--save-coeffs", "-", "--response", "-"], None,
         "--save-coeffs and --response both name standard output"),
        (["load", "-", "--user", "-", "--quantize", "16", "--data-bits", "12", "--testbench",
          os.path.join(work, "t2.vhd")], b"", "both name standard input"),
        (["fir", "--measure", "--response", "-"], None,
         "--measure prints on standard output, which --response - writes"),
        (["fir", "--quantize", "16", "--table", "impulse", "--export", "-", "--export-format",
          "csv"], None, "--table prints on standard output"),
        (["fir", "--export", "-"], None, "give --export-format"),
        (["fir", "--plot", "response", "--out", "-"], None,
         "give --out-format" if has_plots else "not available in this build"),
        (["load", "-"], b"x" * (4 * 1024 * 1024 + 1), "larger than 4 MiB"),
        (["load", "-"], b"", "Missing header information"),
    ]
    for args, stdin, text in REFUSALS:
        p = run(args, stdin=stdin)
        err = p.stderr.decode(errors="replace")
        check("refused: " + " ".join(args[:4]),
              p.returncode == 2 and p.stdout == b"" and text in err,
              "exit %d, %d bytes on standard output, %s" % (p.returncode, len(p.stdout), err))
    check("nothing written by a refused run",
          not os.path.exists(os.path.join(work, "t2.vhd")))
    folder = subprocess.run(["sh", "-c", 'exec "$@" < "$0"', work, CLI, "load", "-"],
                            capture_output=True, text=True)
    check("load - from a directory: refused",
          folder.returncode == 2 and "Is a directory" in folder.stderr and not folder.stdout,
          "exit %d, %s" % (folder.returncode, folder.stderr))

for problem in problems:
    print("FAILED " + problem)
sys.exit(1 if problems else 0)
