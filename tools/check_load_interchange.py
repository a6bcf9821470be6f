#!/usr/bin/env python3
"""Cross-check of `vantrel-cli load` on files numpy and scipy write, and on its own exports.

- scipy.signal second-order sections saved by numpy.savetxt (comma- and blank-separated, and
  with each row scaled so that a0 = 2, 4 or 0.5) load with --structure iir as exactly numpy's
  values: a0 a1 a2 b1 b2 = scipy's b0 b1 b2 a1 a2, the sections past them passing through; the
  response written by --response equals scipy.signal.sosfreqz of the sos at the same points.
- FIR taps saved by numpy.savetxt (a vector, one a line) load with --structure fir as exactly
  numpy's values, and the response equals scipy.signal.freqz of them.
- The other structure is refused: exit status 2, the structure to choose on standard error,
  nothing on standard output.
- Every export of `fir`/`iir --quantize B --export` loads back as the coefficients the design
  printed.

Usage: check_load_interchange.py PATH_TO_VANTREL_CLI
"""
import os
import subprocess
import sys
import tempfile

import numpy as np
from scipy import signal

POINTS = 360
FIR_DEGREE = 0.017453292519943295
IIR_DEGREE = 0.017453292222222222
OFFSET = 0.001
MAG_RELATIVE = 1e-9
PASS_THROUGH = [1.0, 0.0, 0.0, 0.0, 0.0]

SOS_CASES = {  # name: sos
    "butter4": signal.butter(4, 0.2, output="sos"),
    "cheby1_bp6": signal.cheby1(6, 1.0, [0.1, 0.3], btype="bandpass", output="sos"),
    "ellip_hp3": signal.ellip(5, 0.5, 50, 0.35, btype="highpass", output="sos"),
}
TAP_CASES = {
    "firwin31": signal.firwin(31, 0.3),
    "remez64": signal.remez(64, [0, 0.2, 0.25, 0.5], [1, 0]),
}


def run(cli, *args):
    return subprocess.run([cli, *args], capture_output=True, text=True)


def rows(text):
    return [[float(v) for v in line.split()] for line in text.splitlines()]


def gains_db(path):
    with open(path) as f:
        return np.array([float(line.split()[1]) for line in f])


def check_sos(cli, work, name, sos, failures):
    expected = [[r[0], r[1], r[2], r[4], r[5]] for r in sos]
    expected += [PASS_THROUGH] * (8 - len(expected))
    scaled = sos * np.array([[2.0], [4.0], [0.5]] * 3)[: len(sos)]
    for variant, data, delimiter in (("comma", sos, ","), ("blank", sos, " "),
                                     ("a0 not 1", scaled, ",")):
        path = os.path.join(work, f"{name}.csv")
        np.savetxt(path, data, delimiter=delimiter)
        response = os.path.join(work, f"{name}.response")
        result = run(cli, "load", path, "--structure", "iir", "--response", response)
        label = f"{name} ({variant})"
        if result.returncode != 0:
            failures.append(f"{label}: exit {result.returncode}: {result.stderr.strip()}")
            continue
        if rows(result.stdout) != expected:
            failures.append(f"{label}: the loaded sections differ from numpy's")
        w = np.arange(POINTS) * IIR_DEGREE + OFFSET
        _, h = signal.sosfreqz(sos, worN=w)
        theirs = np.abs(h)
        ours = 10 ** (gains_db(response) / 20)
        shown = theirs > 1e-6
        worst = np.max(np.abs(ours[shown] / theirs[shown] - 1))
        if worst > MAG_RELATIVE:
            failures.append(f"{label}: response off scipy's sosfreqz by {worst:.3g} relative")
    result = run(cli, "load", os.path.join(work, f"{name}.csv"), "--structure", "fir")
    if result.returncode != 2 or result.stdout or "choose the IIR structure" not in result.stderr:
        failures.append(f"{name} as FIR: expected exit 2 naming IIR, got {result.returncode}: "
                        f"{result.stderr.strip()}")


def check_taps(cli, work, name, taps, failures):
    path = os.path.join(work, f"{name}.txt")
    np.savetxt(path, taps)
    response = os.path.join(work, f"{name}.response")
    result = run(cli, "load", path, "--structure", "fir", "--response", response)
    if result.returncode != 0:
        failures.append(f"{name}: exit {result.returncode}: {result.stderr.strip()}")
        return
    if [r[0] for r in rows(result.stdout)] != list(taps):
        failures.append(f"{name}: the loaded taps differ from numpy's")
    w = np.arange(POINTS) * FIR_DEGREE + OFFSET
    _, h = signal.freqz(taps, worN=w)
    shown = np.abs(h) > 1e-6
    ours = 10 ** (gains_db(response) / 20)
    worst = np.max(np.abs(ours[shown] / np.abs(h[shown]) - 1))
    if worst > MAG_RELATIVE:
        failures.append(f"{name}: response off scipy's freqz by {worst:.3g} relative")
    result = run(cli, "load", path, "--structure", "iir")
    if result.returncode != 2 or result.stdout or "choose the FIR structure" not in result.stderr:
        failures.append(f"{name} as IIR: expected exit 2 naming FIR, got {result.returncode}: "
                        f"{result.stderr.strip()}")


def check_exports(cli, work, failures):
    designs = [
        ("fir", ["--type", "bpf", "--taps", "61", "--edges", "100,150,250,300"], "12"),
        ("fir", ["--type", "lpf", "--taps", "31"], "32"),
        ("iir", ["--type", "lpf", "--sections", "3"], "16"),
        ("iir", ["--type", "bpf", "--sections", "6", "--cutoff", "200,300"], "24"),
    ]
    for command, options, bits in designs:
        printed = run(cli, command, *options, "--quantize", bits)
        if printed.returncode != 0:
            failures.append(f"{command} {options}: exit {printed.returncode}")
            continue
        for extension in ("csv", "json", "coe", "mif"):
            path = os.path.join(work, f"export.{extension}")
            written = run(cli, command, *options, "--quantize", bits, "--export", path)
            loaded = run(cli, "load", path, "--structure", command)
            label = f"{command} {' '.join(options)} --quantize {bits} .{extension}"
            if written.returncode != 0 or loaded.returncode != 0:
                failures.append(f"{label}: exit {written.returncode}/{loaded.returncode}: "
                                f"{loaded.stderr.strip()}")
            elif rows(loaded.stdout) != rows(printed.stdout):
                failures.append(f"{label}: loaded back other values than the design printed")


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    cli = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as work:
        for name, sos in SOS_CASES.items():
            check_sos(cli, work, name, sos, failures)
        for name, taps in TAP_CASES.items():
            check_taps(cli, work, name, taps, failures)
        check_exports(cli, work, failures)
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        return 1
    print(f"OK: {len(SOS_CASES)} sos files x 3 layouts, {len(TAP_CASES)} tap files and the "
          "exports of 4 designs in 4 formats load back exactly")
    return 0


if __name__ == "__main__":
    sys.exit(main())
