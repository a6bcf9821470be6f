#!/usr/bin/env python3
"""Cross-check of `vantrel-cli cic` against scipy.signal.upfirdn.

The kernel h is the S-fold convolution of R*DL ones. A decimator's output m must be
floor((upfirdn(h, x, 1, R))[m] / 2^G) with G = ceil(S log2(R DL)); an interpolator's output n
floor((upfirdn(h, x, R, 1))[n] / 2^G) with G = ceil(log2((R DL)^S / R)). Where the sums stay below
2^53 scipy's double-precision upfirdn is exact; beyond that the same sums are taken in Python's
integers. Also checks the printed structure, the droop against scipy.signal.freqz of h, and the
refusals of out-of-range values (exit status 2, nothing on standard output).

Usage: check_cic.py PATH_TO_VANTREL_CLI
"""
import itertools
import math
import os
import random
import subprocess
import sys
import tempfile

import numpy as np
from scipy import signal

CASES = [  # interpolate, S, R, DL, D
    (False, 1, 2, 1, 8), (False, 2, 5, 2, 12), (False, 4, 32, 1, 16), (False, 5, 10, 2, 24),
    (False, 8, 2, 1, 4), (False, 3, 1024, 1, 16), (False, 8, 1024, 2, 24), (False, 6, 17, 2, 9),
    (True, 1, 4, 1, 16), (True, 2, 3, 2, 8), (True, 4, 32, 1, 16), (True, 5, 7, 1, 24),
    (True, 8, 16, 2, 12), (True, 3, 1024, 1, 10), (True, 8, 1024, 2, 24),
]


def run(cli, *args, stdin=None):
    return subprocess.run([cli, "cic", *args], capture_output=True, text=True, input=stdin)


def kernel(r, s, dl):
    """The S-fold convolution of R*DL ones, exactly: each pass is a moving sum of R*DL terms."""
    box = r * dl
    h = [1]
    for _ in range(s):
        padded = h + [0] * (box - 1)
        running = list(itertools.accumulate(padded))
        h = [running[i] - (running[i - box] if i >= box else 0) for i in range(len(padded))]
    return h


def reference(x, h, r, s, dl, up, down, count):
    bound = (r * dl) ** s * max(abs(v) for v in x)
    if bound < 2 ** 53:
        # numpy's own kernel here, so the moving sums above are checked too.
        ones = np.ones(r * dl)
        h_float = np.ones(1)
        for _ in range(s):
            h_float = np.convolve(h_float, ones)
        y = signal.upfirdn(h_float, np.array(x, dtype=float), up, down)
        sums = [int(v) for v in y[:count]]
        assert all(float(a) == b for a, b in zip(sums, y[:count]))
    else:
        # Only the input samples enter a sum: output n takes h[n - i*up] * x[i].
        taps = [int(v) for v in h]
        sums = []
        for n in range(0, count * down, down):
            first = max(0, (n - len(taps) + up) // up)
            sums.append(sum(taps[n - i * up] * x[i] for i in range(first, n // up + 1)))
    return sums


def parse(stdout):
    lines = stdout.splitlines()
    fields = {}
    at = 0
    while not lines[at].startswith("outputs "):
        key, *values = lines[at].split()
        fields[key] = values
        at += 1
    count = int(lines[at].split()[1])
    outputs = [int(line.split()[1]) for line in lines[at + 1:]]
    assert len(outputs) == count, (len(outputs), count)
    return fields, outputs


def main():
    cli = sys.argv[1]
    rng = random.Random(35)
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        for interpolate, s, r, dl, d in CASES:
            low, high = -(1 << (d - 1)), (1 << (d - 1)) - 1
            n = 40 if interpolate else r * 40 + rng.randrange(r)
            x = [high] * (n // 4) + [low] * (n // 4)
            x += [rng.randint(low, high) for _ in range(n - len(x))]
            path = os.path.join(folder, "wave.txt")
            with open(path, "w") as f:
                f.write("\n".join(str(v) for v in x) + "\n")
            edge = 0.2
            result = run(cli, "--interpolate" if interpolate else "--decimate", str(r),
                         "--stages", str(s), "--delay", str(dl), "--data-bits", str(d),
                         "--edge", str(edge), "--user", path)
            name = f"{'interpolate' if interpolate else 'decimate'} S={s} R={r} DL={dl} D={d}"
            if result.returncode != 0:
                print(f"FAIL {name}: exit {result.returncode}: {result.stderr}")
                failures += 1
                continue
            fields, got = parse(result.stdout)
            h = kernel(r, s, dl)
            total = int(sum(h))
            peak = total // r if interpolate else total
            growth = (peak - 1).bit_length()
            count = len(x) * r if interpolate else (len(x) + r - 1) // r
            want = [v >> growth for v in reference(x, h, r, s, dl, r if interpolate else 1,
                                                   1 if interpolate else r, count)]
            droop = 20 * math.log10(abs(signal.freqz(np.array(h, dtype=float), worN=[edge / r],
                                                     fs=1.0)[1][0]) / total)
            problems = []
            if int(fields["growth"][0]) != growth or int(fields["shift"][0]) != growth:
                problems.append(f"growth {fields['growth']} want {growth}")
            if int(fields["width"][0]) != d + growth:
                problems.append(f"width {fields['width']} want {d + growth}")
            if abs(float(fields["droop"][1]) - droop) > 1e-5:
                problems.append(f"droop {fields['droop']} want {droop:.6f}")
            if got != want:
                bad = next(i for i, (a, b) in enumerate(zip(got + [None] * len(want), want))
                           if a != b)
                problems.append(f"output {bad}: {got[bad] if bad < len(got) else None} "
                                f"want {want[bad]} ({len(got)} of {len(want)})")
            if problems:
                print(f"FAIL {name}: " + "; ".join(problems))
                failures += 1
            else:
                print(f"ok   {name}: {len(got)} outputs, growth {growth}")

        bad_value = os.path.join(folder, "bad.txt")
        with open(bad_value, "w") as f:
            f.write("1 2 128\n")
        refusals = [
            ["--decimate", "8", "--stages", "0"], ["--decimate", "8", "--stages", "9"],
            ["--decimate", "1"], ["--interpolate", "1025"], ["--decimate", "8", "--delay", "3"],
            ["--decimate", "8", "--data-bits", "3"], ["--decimate", "8", "--data-bits", "25"],
            ["--decimate", "8", "--interpolate", "8"], ["--stages", "4"],
            ["--decimate", "x"], ["--decimate", "8", "--edge", "0.6"],
            ["--decimate", "8", "--data-bits", "8", "--user", bad_value],
            ["--decimate", "8", "--user", os.path.join(folder, "missing.txt")],
        ]
        for args in refusals:
            result = run(cli, *args)
            if result.returncode != 2 or result.stdout or not result.stderr.strip():
                print(f"FAIL refusal {args}: exit {result.returncode}, stdout {result.stdout[:60]!r},"
                      f" stderr {result.stderr.strip()!r}")
                failures += 1
            else:
                print(f"ok   refusal {args}: {result.stderr.strip()}")
    print("FAILED" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
