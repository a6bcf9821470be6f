#!/usr/bin/env python3
"""The C header of a rate changer (`vantrel-cli fir ... --decimate M | --interpolate L --export
NAME.h`) run through the real CMSIS-DSP routines it is laid out for, arm_fir_decimate_* and
arm_fir_interpolate_* (the library's generic C code, built for this machine), against the
bit-true outputs of `vantrel-cli fir ... --user FILE` (the generated hardware's): the Q15 and
Q31 forms bit for bit with each output saturated to D bits, the float form within one unit, and
the header's phase table against the taps.

Needs the CMSIS-DSP sources (a checkout or a bare git directory; default
/work/.mirror/ARM-software+CMSIS-DSP/repo, or $CMSIS_DSP) and gcc: without them it says so and
passes, as on CI, which cannot fetch them.

usage: check_cli_cmsis_poly.py VANTREL_CLI [CMSIS_DSP]"""
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

DEFAULT_CMSIS = "/work/.mirror/ARM-software+CMSIS-DSP/repo"

DRIVER = r"""
#include <stdio.h>
#include "arm_math.h"
#include "filter.h"

#define MAX_IN 4096
static long long Saturate(long long v, int bits) {
    const long long most = (1LL << (bits - 1)) - 1;
    return v > most ? most : v < -most - 1 ? -most - 1 : v;
}

int main(void) {
    static long long in[MAX_IN];
    int n = 0;
    while (n < MAX_IN && scanf("%lld", &in[n]) == 1) ++n;
#if defined(FILTER_DECIMATION)
    /* The library's output m is at input sample m * M, the hardware's. */
    enum { M = FILTER_DECIMATION, BS = BLOCK * FILTER_DECIMATION };
    static long long x[MAX_IN];
    int count = 0;
    for (int i = 0; i < n; ++i) x[count++] = in[i];
    const int outputs = (n + M - 1) / M;
#if defined(FORM_Q15)
    static q15_t state[FILTER_NUM_TAPS_Q15 + BS - 1];
    arm_fir_decimate_instance_q15 S;
    if (arm_fir_decimate_init_q15(&S, FILTER_NUM_TAPS_Q15, M, filter_taps_q15, state, BS)) return 2;
#elif defined(FORM_Q31)
    static q31_t state[FILTER_NUM_TAPS + BS - 1];
    arm_fir_decimate_instance_q31 S;
    if (arm_fir_decimate_init_q31(&S, FILTER_NUM_TAPS, M, filter_taps_q31, state, BS)) return 2;
#else
    static float32_t state[FILTER_NUM_TAPS + BS - 1];
    arm_fir_decimate_instance_f32 S;
    if (arm_fir_decimate_init_f32(&S, FILTER_NUM_TAPS, M, filter_taps_f32, state, BS)) return 2;
#endif
    int printed = 0;
    for (int i = 0; printed < outputs; i += BS) {
#if defined(FORM_Q15)
        q15_t xs[BS], ys[BLOCK];
        for (int k = 0; k < BS; ++k) xs[k] = (q15_t)(i + k < count ? x[i + k] : 0);
        arm_fir_decimate_q15(&S, xs, ys, BS);
#elif defined(FORM_Q31)
        q31_t xs[BS], ys[BLOCK];
        for (int k = 0; k < BS; ++k) xs[k] = (q31_t)(i + k < count ? x[i + k] : 0);
        arm_fir_decimate_q31(&S, xs, ys, BS);
#else
        float32_t xs[BS], ys[BLOCK];
        for (int k = 0; k < BS; ++k) xs[k] = (float32_t)(i + k < count ? x[i + k] : 0);
        arm_fir_decimate_f32(&S, xs, ys, BS);
#endif
        for (int k = 0; k < BLOCK && printed < outputs; ++k, ++printed) {
#if defined(FORM_F32)
            printf("%.9g\n", (double)ys[k]);
#else
            printf("%lld\n", Saturate(ys[k], DATA_BITS));
#endif
        }
    }
#else
    enum { L = FILTER_INTERPOLATION, BS = BLOCK };
#if defined(FORM_Q15)
    static q15_t state[FILTER_INTERP_NUM_TAPS / L + BS - 1];
    arm_fir_interpolate_instance_q15 S;
    if (arm_fir_interpolate_init_q15(&S, L, FILTER_INTERP_NUM_TAPS, filter_interp_taps_q15, state, BS)) return 2;
#elif defined(FORM_Q31)
    static q31_t state[FILTER_INTERP_NUM_TAPS / L + BS - 1];
    arm_fir_interpolate_instance_q31 S;
    if (arm_fir_interpolate_init_q31(&S, L, FILTER_INTERP_NUM_TAPS, filter_interp_taps_q31, state, BS)) return 2;
#else
    static float32_t state[FILTER_INTERP_NUM_TAPS / L + BS - 1];
    arm_fir_interpolate_instance_f32 S;
    if (arm_fir_interpolate_init_f32(&S, L, FILTER_INTERP_NUM_TAPS, filter_interp_taps_f32, state, BS)) return 2;
#endif
    for (int i = 0; i < n; i += BS) {
#if defined(FORM_Q15)
        q15_t xs[BS], ys[BS * L];
        for (int k = 0; k < BS; ++k) xs[k] = (q15_t)(i + k < n ? in[i + k] : 0);
        arm_fir_interpolate_q15(&S, xs, ys, BS);
#elif defined(FORM_Q31)
        q31_t xs[BS], ys[BS * L];
        for (int k = 0; k < BS; ++k) xs[k] = (q31_t)(i + k < n ? in[i + k] : 0);
        arm_fir_interpolate_q31(&S, xs, ys, BS);
#else
        float32_t xs[BS], ys[BS * L];
        for (int k = 0; k < BS; ++k) xs[k] = (float32_t)(i + k < n ? in[i + k] : 0);
        arm_fir_interpolate_f32(&S, xs, ys, BS);
#endif
        for (int k = 0; k < BS * L && i * L + k < n * L; ++k) {
#if defined(FORM_F32)
            printf("%.9g\n", (double)ys[k]);
#else
            printf("%lld\n", Saturate(ys[k], DATA_BITS));
#endif
        }
    }
#endif
    return 0;
}
"""

# (kind, factor, design options, B, D, the integer form)
CASES = [
    ("decimate", 8, ["--type", "bpf", "--edges", "800,1000,2000,2200", "--taps", "61"], 16, 12,
     "Q15"),
    ("decimate", 3, ["--taps", "40"], 16, 16, "Q15"),
    ("decimate", 5, ["--taps", "33", "--method", "kaiser"], 24, 20, "Q31"),
    ("interpolate", 4, ["--taps", "31"], 16, 12, "Q15"),
    ("interpolate", 3, ["--taps", "40", "--method", "kaiser"], 16, 16, "Q15"),  # 40 % 3 != 0
    ("interpolate", 16, ["--taps", "9", "--method", "kaiser"], 20, 16, "Q31"),
]


def sources(cmsis, work):
    if os.path.isdir(os.path.join(cmsis, "Include")):
        return cmsis
    if not os.path.isdir(cmsis):
        return None
    src = os.path.join(work, "cmsis")
    os.makedirs(src)
    archive = subprocess.run(["git", "--git-dir", cmsis, "archive", "HEAD", "Include",
                              "PrivateInclude", "Source/FilteringFunctions"],
                             capture_output=True)
    if archive.returncode != 0:
        return None
    subprocess.run(["tar", "-x", "-C", src], input=archive.stdout, check=True)
    return src if os.path.exists(os.path.join(src, "Include", "arm_math.h")) else None


def header_array(text, name):
    """The values of `name`'s initializer, flattened."""
    m = re.search(re.escape(name) + r"\[[^=]*= \{(.*?)\n\};", text, re.S)
    values = re.sub(r"[{}\s]", " ", m.group(1)).replace(",", " ").split()
    return [float(v.rstrip("f")) for v in values]


def main():
    cli = os.path.abspath(sys.argv[1])
    cmsis = sys.argv[2] if len(sys.argv) > 2 else os.environ.get("CMSIS_DSP", DEFAULT_CMSIS)
    if shutil.which("gcc") is None:
        print("skipped: gcc is not installed")
        return 0
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        src = sources(cmsis, work)
        if src is None:
            print("skipped: no CMSIS-DSP sources at %s" % cmsis)
            return 0
        ff = os.path.join(src, "Source", "FilteringFunctions")
        lib = [os.path.join(ff, "arm_fir_%s%s_%s.c" % (kind, init, form))
               for kind in ("decimate", "interpolate") for init in ("", "_init")
               for form in ("f32", "q15", "q31")]
        with open(os.path.join(work, "driver.c"), "w") as f:
            f.write(DRIVER)
        rng = random.Random(35)
        for i, (kind, factor, options, bits, data_bits, form) in enumerate(CASES):
            name = "%s %d %s B=%d D=%d" % (kind, factor, " ".join(options), bits, data_bits)
            case = os.path.join(work, "case%d" % i)
            os.makedirs(case)
            design = ["fir", "--fs", "8000", *options, "--quantize", str(bits)]
            if "--edges" not in options:
                design += ["--edges", "800,1200"]
            high = (1 << (data_bits - 1)) - 1
            n = 300 if kind == "decimate" else 120
            samples = [rng.choice([high, -high - 1]) if rng.random() < 0.2
                       else rng.randint(-high - 1, high) for _ in range(n)]
            with open(os.path.join(case, "input.txt"), "w") as f:
                f.write(" ".join(map(str, samples)) + "\n")
            p = subprocess.run([cli, *design, "--" + kind, str(factor), "--export", "filter.h"],
                               cwd=case, capture_output=True, text=True)
            q = subprocess.run([cli, *design, "--" + kind, str(factor), "--data-bits",
                                str(data_bits), "--user", "input.txt"], cwd=case,
                               capture_output=True, text=True)
            if p.returncode != 0 or q.returncode != 0:
                print("FAIL %s: %s%s" % (name, p.stderr, q.stderr))
                failures += 1
                continue
            model = [int(line.split()[1]) for line in q.stdout.splitlines()[3:]]
            text = open(os.path.join(case, "filter.h")).read()
            # The phase table holds h[p + i * factor] in row p.
            taps = header_array(text, "filter_taps_f32")[::-1]
            phases = header_array(text, "filter_phases_f32")
            length = len(phases) // factor
            want = [taps[p + k * factor] if p + k * factor < len(taps) else 0.0
                    for p in range(factor) for k in range(length)]
            if phases != want or length != -(-len(taps) // factor):
                print("FAIL %s: the phase table is not the taps by phase" % name)
                failures += 1
            for use in (form, "F32"):
                for block in (1, 5):
                    exe = os.path.join(case, "driver_%s_%d" % (use, block))
                    c = subprocess.run(["gcc", "-O2", "-w", "-D__GNUC_PYTHON__",
                                        "-DFORM_" + use, "-DBLOCK=%d" % block,
                                        "-DDATA_BITS=%d" % data_bits,
                                        "-I" + os.path.join(src, "Include"),
                                        "-I" + os.path.join(src, "PrivateInclude"), "-I" + case,
                                        os.path.join(work, "driver.c"), *lib, "-o", exe, "-lm"],
                                       capture_output=True, text=True)
                    r = subprocess.run([exe], input=" ".join(map(str, samples)),
                                       capture_output=True, text=True) if c.returncode == 0 \
                        else None
                    if r is None or r.returncode != 0:
                        print("FAIL %s %s block %d: %s" % (name, use, block,
                                                           (c.stderr or "driver failed")[-800:]))
                        failures += 1
                        continue
                    got = [float(v) for v in r.stdout.split()]
                    if use == "F32":
                        # The float form gives the sum unrounded: within one unit of the
                        # hardware's floor, or beyond the limit it saturated to.
                        bad = [k for k, (g, m) in enumerate(zip(got, model))
                               if not (abs(g - m) <= 1.0 + 1e-3 * abs(m)
                                       or (m == high and g > high) or (m == -high - 1 and
                                                                        g < -high - 1))]
                    else:
                        bad = [k for k, (g, m) in enumerate(zip(got, model)) if int(g) != m]
                    if len(got) != len(model) or bad:
                        print("FAIL %s %s block %d: %d of %d outputs (%d given) differ, first %s"
                              % (name, use, block, len(bad), len(model), len(got), bad[:3]))
                        failures += 1
                    else:
                        print("ok   %s %s block %d: %d outputs" % (name, use, block, len(got)))
    print("FAILED" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
