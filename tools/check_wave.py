#!/usr/bin/env python3
"""Cross-check of `vantrel-cli wave` (test wave, FIR/IIR filtering, spectra) against numpy/scipy.

- The generated sine and square waves against 50 sin(i f 6.2831852 / fs).
- FIR output against numpy.convolve of K*h (quantized when --quantize is given): y[0..398] of the
  full convolution from rest, y[399] = 0.
- IIR output against scipy.signal.sosfilt on user waves whose first two samples are 0: each
  section's recursion starts at sample 2 with zero outputs, which from a zero start is the same
  state as sosfilt's, so the two agree to rounding.
- Both spectra against numpy.fft.fft of samples 120..375: magnitude 2 (50/range) |X| / 256,
  phase atan(Im/Re).

Usage: check_wave.py PATH_TO_VANTREL_CLI
"""
import os
import subprocess
import sys
import tempfile

import numpy as np
from scipy import signal

FS = 1000.0
SAMPLES = 400
BINS = 256
FIRST = 120
TOLERANCE = 1e-9  # relative to the largest sample or bin
FFT_TOLERANCE = 1e-6  # the stored 2 pi of the twiddles differs from 2 pi by 5e-8 relative

FIR_CASES = [  # design arguments, multiplier, quantize bits
    (["--type", "lpf", "--taps", "90"], 1, None),
    (["--type", "bpf", "--taps", "50", "--edges", "100,150,250,300", "--mult", "2"], 2, None),
    (["--type", "hpf", "--taps", "31"], 1, 12),
]
IIR_CASES = [  # design arguments, quantize bits
    (["--type", "lpf", "--sections", "3", "--cutoff", "150", "--ripple", "1"], None),
    (["--type", "hpf", "--sections", "8", "--cutoff", "250", "--ripple", "0.3"], None),
    (["--type", "brf", "--sections", "4", "--cutoff", "150,300", "--ripple", "2"], None),
    (["--type", "bpf", "--sections", "6", "--cutoff", "200,300", "--ripple", "0.5"], 16),
]
WAVES = [  # wave options
    ["--wave", "sine", "--freq", "100"],
    ["--wave", "square", "--freq", "37"],
    ["--wave", "sine", "--freq", str(10 * FS / BINS)],  # on bin 10
]


def run(cli, *args):
    result = subprocess.run([cli, *args], capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"{args}: exit {result.returncode}: {result.stderr}")
    return np.array([[float(v) for v in line.split()] for line in result.stdout.splitlines()])


def close(label, ours, ref, tolerance):
    scale = max(np.max(np.abs(ref)), 1.0)
    err = np.max(np.abs(ours - ref)) / scale
    return [] if err <= tolerance else [f"{label}: off by {err:.3g} relative"]


def check_spectra(cli, label, args, mag_range):
    samples = run(cli, "wave", *args)
    spectra = run(cli, "wave", *args, "--spectrum", "--mag-range", str(mag_range))
    failures = []
    if spectra.shape != (BINS, 5):
        return [f"{label}: expected {BINS} spectrum lines"]
    for column, name in ((1, "input"), (2, "output")):
        x = samples[FIRST:FIRST + BINS, column]
        spectrum = np.fft.fft(x)
        mag = 2 * (50.0 / mag_range) * np.abs(spectrum) / BINS
        ours_mag = spectra[:, 2 * column - 1]
        ours_phase = spectra[:, 2 * column]
        failures += close(f"{label} {name} magnitude", ours_mag, mag, FFT_TOLERANCE)
        # The twiddle angle error moves each bin by up to about 1e-7 of the largest bin, so a
        # weak bin's phase may move by that much relative to its own magnitude.
        size = np.abs(spectrum)
        strong = size > 1e-3 * np.max(size)
        with np.errstate(divide="ignore", invalid="ignore"):
            ref_phase = np.arctan(spectrum.imag / spectrum.real)
        diff = (ours_phase - ref_phase + np.pi / 2) % np.pi - np.pi / 2
        allowed = FFT_TOLERANCE * np.max(size) / np.where(strong, size, 1.0)
        if np.any(strong & (np.abs(diff) > allowed)):
            failures.append(f"{label} {name} phase: off by {np.max(np.abs(diff[strong])):.3g}")
    return failures


def without_mult(args):
    """The design arguments without --mult K: the printed taps of that design are h, those of
    the design with it K * h."""
    if "--mult" not in args:
        return list(args)
    i = args.index("--mult")
    return list(args[:i]) + list(args[i + 2:])


def main():
    cli = sys.argv[1]
    failures = []
    i = np.arange(SAMPLES)
    for wave in WAVES:
        data = run(cli, "wave", "--type", "lpf", *wave)
        freq = float(wave[3])
        sine = 50 * np.sin((1 / FS) * i * freq * 6.2831852)
        ref = sine if wave[1] == "sine" else np.where(sine >= 0, 50.0, -50.0)
        failures += close(f"{wave} input", data[:, 1], ref, 1e-12)

    for args, mult, bits in FIR_CASES:
        taps = run(cli, "fir", *without_mult(args))[:, 0]
        q = mult * taps
        extra = []
        if bits:
            q = np.trunc(q * 2.0 ** (bits - 1)) / 2.0 ** (bits - 1)
            extra = ["--quantize", str(bits)]
        for wave in WAVES:
            data = run(cli, "wave", *args, *extra, *wave)
            ref = np.convolve(data[:, 1], q)[:SAMPLES]
            ref[SAMPLES - 1] = 0.0
            label = f"fir {args} q={bits} {wave}"
            failures += close(label, data[:, 2], ref, TOLERANCE)
            if data[SAMPLES - 1, 2] != 0.0:
                failures.append(f"{label}: y[399] is not 0")
            failures += check_spectra(cli, label, [*args, *extra, *wave], 50.0)

    rng = np.random.default_rng(7)
    with tempfile.TemporaryDirectory() as folder:
        for n, (args, bits) in enumerate(IIR_CASES):
            extra = ["--quantize", str(bits)] if bits else []
            sections = run(cli, "iir", *args, *extra)
            used = int(args[args.index("--sections") + 1])
            sos = np.array([[a0, a1, a2, 1.0, b1, b2] for a0, a1, a2, b1, b2 in sections[:used]])
            user = rng.uniform(-60, 60, 700).astype(np.float32)
            user[:2] = 0.0
            path = os.path.join(folder, f"user{n}.txt")
            np.savetxt(path, user, fmt="%.9g")
            wave = ["--structure", "iir", *args, *extra, "--user", path]
            data = run(cli, "wave", *wave)
            failures += close(f"iir {args} q={bits} user input", data[:, 1],
                              user[:SAMPLES].astype(float), 0.0)
            ref = signal.sosfilt(sos, data[:, 1])
            failures += close(f"iir {args} q={bits} sosfilt", data[:, 2], ref, TOLERANCE)
            failures += check_spectra(cli, f"iir {args} user", wave, 20.0)
            for w in WAVES[:2]:
                failures += check_spectra(cli, f"iir {args} {w}",
                                          ["--structure", "iir", *args, *w], 50.0)

    for f in failures:
        print("FAIL", f)
    if failures:
        return 1
    print("check_wave: waves, FIR/IIR outputs and spectra agree")
    return 0


if __name__ == "__main__":
    sys.exit(main())
