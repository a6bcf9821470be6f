#!/usr/bin/env python3
"""vantrel-cli under bad input and broken outputs: every command reports a standard output it
could not write (exit status 4), --response writes devices, FIFOs and symlinks as what they are,
user waves that cannot be read are refused, and every value that gives no filter is refused with
exit status 2 while a value just inside the range still designs. Every file the program reads
(user waves, templates, coefficient files) is read whole or refused at once, never waited on nor
cut short in silence. Devices are private mknod copies in a scratch folder, never /dev itself.

usage: check_cli_bad_input.py PATH/TO/vantrel-cli
"""
import math
import os
import stat
import subprocess
import sys
import tempfile
import threading
import time

CLI = sys.argv[1]
problems = []


def run(args, stdout=subprocess.PIPE, **kwargs):
    return subprocess.run([CLI] + args, stdout=stdout, stderr=subprocess.PIPE, text=True,
                          timeout=120, **kwargs)


def expect(label, result, status, stderr_part=None):
    if result.returncode != status:
        problems.append(f"{label}: exit status {result.returncode}, expected {status} "
                        f"(stderr: {result.stderr.strip()[:200]!r})")
    elif stderr_part is not None and stderr_part not in result.stderr:
        problems.append(f"{label}: stderr {result.stderr.strip()[:200]!r} lacks {stderr_part!r}")


# ---- Standard output that cannot be written: a full device, and a closed stream ---------------
COMMANDS = [
    ["fir"],
    ["fir", "--report"],
    ["iir"],
    ["iir", "--report", "--quantize", "16"],
    ["wave"],
    ["wave", "--spectrum"],
    ["--help"],
]
for args in COMMANDS:
    with open("/dev/full", "w") as full:
        expect(f"{args} > /dev/full", run(args, stdout=full), 4,
               "standard output: No space left on device")
    # A closed stdout: the child's descriptor 1 is closed before the program starts.
    closed = subprocess.run(["sh", "-c", 'exec "$0" "$@" >&-', CLI] + args,
                            stderr=subprocess.PIPE, text=True, timeout=120)
    expect(f"{args} >&-", closed, 4, "standard output: Bad file descriptor")
    # The same command to a working stdout still succeeds.
    expect(f"{args} > pipe", run(args), 0)

# ---- --response through the output-file component ------------------------------------------
with tempfile.TemporaryDirectory() as folder:
    expect("--response /dev/full", run(["fir", "--response", "/dev/full"]), 4,
           "/dev/full: No space left on device")
    expect("--response /dev/null", run(["fir", "--response", "/dev/null"]), 0)
    if not stat.S_ISCHR(os.stat("/dev/null").st_mode):
        problems.append("/dev/null is no longer a device")

    target = os.path.join(folder, "real.txt")
    with open(target, "w") as f:
        f.write("old\n")
    os.chmod(target, 0o640)
    link = os.path.join(folder, "link.txt")
    os.symlink("real.txt", link)
    unrelated = link + ".part"
    with open(unrelated, "w") as f:
        f.write("not ours\n")
    expect("--response symlink", run(["iir", "--response", link]), 0)
    if not os.path.islink(link):
        problems.append("--response replaced the symlink")
    with open(target) as f:
        rows = f.read().splitlines()
    if len(rows) != 360 or rows[0].split()[0] != "0":
        problems.append(f"--response through the symlink wrote {len(rows)} rows")
    if stat.S_IMODE(os.stat(target).st_mode) != 0o640:
        problems.append("--response lost the file's mode")
    with open(unrelated) as f:
        if f.read() != "not ours\n":
            problems.append("--response touched an unrelated .part file")

    long_name = os.path.join(folder, "r" * 248 + ".txt")
    expect("--response 252-character name", run(["fir", "--response", long_name]), 0)

    expect("--response folder", run(["fir", "--response", folder]), 4, "Is a directory")

    fifo = os.path.join(folder, "pipe")
    os.mkfifo(fifo)
    received = []
    reader = threading.Thread(target=lambda: received.append(open(fifo).read()))
    reader.start()
    expect("--response FIFO", run(["fir", "--response", fifo]), 0)
    reader.join(timeout=60)
    if not received or len(received[0].splitlines()) != 360:
        problems.append("--response did not write the FIFO in place")
    if not stat.S_ISFIFO(os.stat(fifo).st_mode):
        problems.append("--response replaced the FIFO")

    leftovers = sorted(set(os.listdir(folder)) -
                       {"real.txt", "link.txt", "link.txt.part", "pipe", os.path.basename(long_name)})
    if leftovers:
        problems.append(f"stray files after the saves: {leftovers}")

# ---- User waves that cannot be read ------------------------------------------------------------
with tempfile.TemporaryDirectory() as folder:
    expect("--user folder", run(["wave", "--user", folder]), 2, "cannot be read: Is a directory")
    expect("--user /proc/self/mem", run(["wave", "--user", "/proc/self/mem"]), 2,
           "cannot be read: Input/output error")
    expect("--user missing", run(["wave", "--user", os.path.join(folder, "none.txt")]), 2,
           "cannot be opened: No such file or directory")
    stops = os.path.join(folder, "stops.txt")
    with open(stops, "w") as f:
        f.write("10 20 abc 30 40\n")
    expect("--user token", run(["wave", "--user", stops]), 2,
           'line 1: "abc" is not a number; 2 values were read before it')
    good = os.path.join(folder, "good.txt")
    with open(good, "w") as f:
        f.write("10 20 30 40\n")
    result = run(["wave", "--user", good])
    expect("--user good", result, 0)
    first = [float(line.split()[1]) for line in result.stdout.splitlines()[:5]]
    if first != [10.0, 20.0, 30.0, 40.0, 0.0]:
        problems.append(f"--user good: input wave starts {first}")

# ---- The bounded reader: FIFOs, endless devices, NUL bytes, files over the cap ----------------
TEMPLATES = os.path.join(os.path.dirname(os.path.abspath(CLI)), "firfilter.vhd")
if not os.path.exists(TEMPLATES):
    TEMPLATES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "vhdl", "templates",
                             "firfilter.vhd")
VHDL = ["fir", "--quantize", "16", "--data-bits", "12"]


def timed(args, **kwargs):
    start = time.monotonic()
    result = run(args, **kwargs)
    return result, time.monotonic() - start


def writer(path, text):
    """Writes text into the FIFO at path once a reader opens it (on its own thread)."""
    def feed():
        with open(path, "w") as fifo:
            fifo.write(text)
    thread = threading.Thread(target=feed, daemon=True)
    thread.start()
    return thread


with tempfile.TemporaryDirectory() as folder:
    fifo = os.path.join(folder, "pipe")
    os.mkfifo(fifo)
    zero = os.path.join(folder, "zero")
    os.mknod(zero, 0o600 | stat.S_IFCHR, os.makedev(1, 5))
    big = os.path.join(folder, "big.txt")
    with open(big, "w") as f:
        f.write("1\n")
        f.truncate(5 << 20)
    out = os.path.join(folder, "o.vhd")
    cases = [  # label, the option and file of each reader, exit status, message part
        ("FIFO without a writer", fifo, 2, "a FIFO without a writer"),
        ("endless device", zero, 2, "not a regular file or a FIFO"),
        ("over the cap", big, 2, "larger than 4 MiB"),
        ("a directory", folder, 2, "Is a directory"),
    ]
    for label, path, status, part in cases:
        for reader, args in (("--user", ["wave", "--user", path]),
                             ("--template", VHDL + ["--vhdl", out, "--template", path]),
                             ("load", ["load", path])):
            result, seconds = timed(args)
            expect(f"{reader} {label}", result, status, part)
            if seconds > 1.0:
                problems.append(f"{reader} {label}: took {seconds:.1f} s")
            if result.stdout and reader == "load":
                problems.append(f"load {label}: printed {result.stdout[:80]!r}")
    if os.path.exists(out):
        problems.append("a refused template still wrote the VHDL file")

    # A FIFO with a writer is read once per command, the template too (VHDL Code and Save VHDL).
    feed = writer(fifo, "1\n2\n3\n")
    result = run(["wave", "--user", fifo])
    feed.join(timeout=5)
    expect("--user FIFO with a writer", result, 0)
    with open(TEMPLATES) as f:
        template_text = f.read()
    plain = os.path.join(folder, "plain.vhd")
    expect("--template file", run(VHDL + ["--vhdl", plain, "--template", TEMPLATES]), 0)
    feed = writer(fifo, template_text)
    result, seconds = timed(VHDL + ["--vhdl", out, "--template", fifo])
    feed.join(timeout=5)
    expect("--template FIFO with a writer", result, 0)
    if result.returncode == 0 and open(out).read() != open(plain).read():
        problems.append("--template FIFO: the VHDL differs from the same template as a file")

    # NUL bytes: an invalid character where they stand.
    nul = os.path.join(folder, "nul.txt")
    with open(nul, "wb") as f:
        f.write(b"5\0junk 7")
    expect("--user NUL", run(["wave", "--user", nul]), 2, '"?junk" is not a number')
    with open(nul, "wb") as f:
        f.write(b"Data is Real : 1.0 => 1.0\n5\0junk\n7\n")
    result = run(["load", nul])
    expect("load NUL", result, 2, "is not a number")
    if result.stdout:
        problems.append("load NUL: printed on standard output")
    with open(nul, "wb") as f:
        f.write(template_text.encode().replace(b"\n", b"\0\n", 1))
    expect("--template NUL", run(VHDL + ["--vhdl", out, "--template", nul]), 2, "NUL byte")

# ---- User-wave messages: out of range, more than 700 values, none -----------------------------
with tempfile.TemporaryDirectory() as folder:
    for label, text, status, part in (
            ("1e308", "1\n1e308\n", 2, '"1e308" is out of range'),
            ("800 values", " ".join(str(i) for i in range(800)), 0,
             "holds more than the 700 values a wave can hold; the first 700 are used"),
            ("no values", "\n \n", 2, "holds no values")):
        path = os.path.join(folder, "w.txt")
        with open(path, "w") as f:
            f.write(text)
        expect(f"--user {label}", run(["wave", "--user", path]), status, part)
    named = os.path.join(folder, "a\nb.txt")
    expect("--user with a newline in its name", run(["wave", "--user", named]), 2,
           '"' + folder + '/a\\nb.txt" cannot be opened')

# ---- Coefficient files that do not fit, each beside one that loads -----------------------------
with tempfile.TemporaryDirectory() as folder:
    def coeffs(values, header="Data is Real : 1.0 => 1.0"):
        return header + "\n" + "".join(f"{v}\n" for v in values)
    for label, text, structure, status, part in (
            ("399 FIR values", coeffs([0.001] * 399), "fir", 0, None),
            ("400 FIR values", coeffs([0.001] * 400), "fir", 2,
             "holds 400 values; a FIR filter takes at most 399"),
            ("40 IIR values", coeffs([0.5, 0, 0, 0, 0] * 8), "iir", 0, None),
            ("90 values as IIR", coeffs([0.001] * 90), "iir", 2,
             "holds 90 values; an IIR filter takes 40"),
            ("a header without values", coeffs([]), "fir", 2, "holds no values"),
            ("a hex number", coeffs(["00004000h"], "Data is Hex : 1.0 => 00008000h"), "fir", 0,
             None),
            ("letters after a hex number",
             coeffs(["00004000hzz"], "Data is Hex : 1.0 => 00008000h"), "fir", 2,
             "Invalid coefficient file format")):
        path = os.path.join(folder, "c.txt")
        with open(path, "w") as f:
            f.write(text)
        response = os.path.join(folder, "r.txt")
        if os.path.exists(response):
            os.remove(response)
        result = run(["load", path, "--structure", structure, "--response", response])
        expect(f"load {label}", result, status, part)
        if status != 0 and (result.stdout or os.path.exists(response)):
            problems.append(f"load {label}: refused, yet printed or wrote a file")
        if status == 0 and ("nan" in open(response).read()):
            problems.append(f"load {label}: NaN in the response")

# ---- IIR quantized to zero, standard output as a file, a failed --save-coeffs once -------------
result = run(["iir", "--cutoff", "5", "--sections", "8", "--quantize", "4", "--response",
              "/dev/stdout"])
expect("iir quantized to zero", result, 0, "quantized to zero: use more bits")
if "nan" in result.stdout:
    problems.append("iir quantized to zero: NaN in the response")
with tempfile.TemporaryDirectory() as folder:
    so = os.path.join(folder, "so.txt")
    with open(so, "w") as f:
        expect("--response /proc/self/fd/1", run(["fir", "--taps", "31", "--response",
                                                  "/proc/self/fd/1"], stdout=f), 0)
    lines = open(so).read().splitlines()
    if len(lines) != 31 + 360:
        problems.append(f"--response /proc/self/fd/1: {len(lines)} lines, expected 31 + 360")
    result = run(["fir", "--taps", "31", "--response", "/proc/self/fd/1"])
    expect("--response /proc/self/fd/1 through a pipe", result, 0)
    if len(result.stdout.splitlines()) != 31 + 360:
        problems.append("--response /proc/self/fd/1 through a pipe: lines lost")
    result = run(["fir", "--save-coeffs", os.path.join(folder, "none", "c.txt")])
    if result.stderr.count("cannot be opened") != 1:
        problems.append(f"--save-coeffs failure message not once: {result.stderr!r}")

# ---- Values that give no filter, each beside one just inside its range ------------------------
RANGES = [
    # (refused arguments, accepted arguments, option named in the refusal)
    (["iir", "--cutoff", "-100"], ["iir", "--cutoff", "0.5"], "--cutoff"),
    (["iir", "--cutoff", "0"], ["iir", "--cutoff", "499"], "--cutoff"),
    (["iir", "--type", "bpf", "--cutoff", "0,200"], ["iir", "--type", "bpf", "--cutoff", "1,200"],
     "--cutoff"),
    (["iir", "--ripple", "1000"], ["iir", "--ripple", "20"], "--ripple"),
    (["iir", "--ripple", "0"], ["iir", "--ripple", "0.01"], "--ripple"),
    (["iir", "--fs", "0"], ["iir", "--fs", "1e12", "--cutoff", "1e9"], "--fs"),
    (["fir", "--fs", "1e300"], ["fir", "--fs", "1e12", "--edges", "2e11,2.5e11"], "--fs"),
    (["fir", "--fs", "-1000"], ["fir", "--fs", "1000"], "--fs"),
    (["fir", "--edges", "-100,250"], ["fir", "--edges", "5,60", "--taps", "61"], "--edges"),
    (["fir", "--rr", "0"], ["fir", "--rr", "0.1"], "--rr"),
    (["fir", "--mult", "0"], ["fir", "--mult", "1"], "--mult"),
    (["wave", "--freq", "1e308"], ["wave", "--freq", "1e12"], "--freq"),
    (["wave", "--freq", "0"], ["wave", "--freq", "0.001"], "--freq"),
    (["wave", "--spectrum", "--mag-range", "-50"], ["wave", "--spectrum", "--mag-range", "0.001"],
     "--mag-range"),
]


def all_finite(text):
    for line in text.splitlines():
        for word in line.split():
            if not math.isfinite(float(word)):
                return False
    return bool(text.strip())


for refused, accepted, option in RANGES:
    expect(" ".join(refused), run(refused), 2, option + ": Please enter")
    result = run(accepted)
    expect(" ".join(accepted), result, 0)
    if result.returncode == 0 and not all_finite(result.stdout):
        problems.append(f"{' '.join(accepted)}: output is not all finite")

# ---- The bit-length check uses K * h -----------------------------------------------------------
expect("--mult 1000 --quantize 24", run(["fir", "--mult", "1000", "--quantize", "24", "--report"]),
       2, "Decrease the bits for Quantization!!")
result = run(["fir", "--mult", "1000", "--quantize", "23", "--report"])
expect("--mult 1000 --quantize 23", result, 0)
if result.returncode == 0:
    taps = [float(line.split("=", 1)[1]) for line in result.stdout.splitlines()
            if line.startswith("h[")]
    largest = max(abs(v) for v in taps)
    if not 409.0 < largest < 411.0:
        problems.append(f"--mult 1000 --quantize 23: largest reported tap {largest}, "
                        "expected about 409.83")

if problems:
    print("\n".join(problems))
    sys.exit(1)
print("vantrel-cli bad input: all checks passed")
