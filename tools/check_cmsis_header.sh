#!/bin/bash
# Local check, not run by CI (it needs the CMSIS-DSP sources, which CI cannot fetch): the C
# header that `vantrel-cli --export NAME.h` writes, compiled against the real CMSIS-DSP library
# (its generic C code, built for this machine), filters 400 full-scale samples exactly as the
# generated hardware does (`vantrel-cli wave --hardware`).
#
# Usage: tools/check_cmsis_header.sh [CMSIS_DSP] [VANTREL_CLI]
#   CMSIS_DSP    a CMSIS-DSP checkout, or its bare git directory (then HEAD is exported);
#                default /work/.mirror/ARM-software+CMSIS-DSP/repo
#   VANTREL_CLI  default build/vantrel-cli
# Last run against CMSIS-DSP commit ec1bb75277d3e23e2fa7b8819dc734a7926b0bfb, built with
#   gcc -O2 -D__GNUC_PYTHON__ [-DARM_MATH_LOOPUNROLL] -IInclude -IPrivateInclude
#       driver.c Source/FilteringFunctions/arm_{fir,biquad_cascade_df1}{,_init}_q{15,31}.c
# and run at block sizes 1, 7 and 400.
#
# Every case exports the header of a design, runs the wave through the library's routine with the
# samples as plain D-bit integers (each output saturated to D bits, as the header says) and
# compares the integers with the hardware column of `wave --hardware`. Exit status 0 when every
# sample of every case and build agrees.
set -euo pipefail

CMSIS=${1:-/work/.mirror/ARM-software+CMSIS-DSP/repo}
CLI=$(realpath "${2:-build/vantrel-cli}")
WORK=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] && echo "kept $WORK" || rm -rf "$WORK"' EXIT

if [ -d "$CMSIS/Include" ]; then
    SRC=$CMSIS
    COMMIT=$(git -C "$CMSIS" rev-parse HEAD 2>/dev/null || echo unknown)
else
    SRC=$WORK/cmsis
    mkdir -p "$SRC"
    # (A mirror may lack some large files elsewhere in the tree; only these folders are needed.)
    git --git-dir="$CMSIS" archive HEAD Include PrivateInclude Source/FilteringFunctions |
        tar -x -C "$SRC"
    [ -f "$SRC/Include/arm_math.h" ] || { echo "no CMSIS-DSP sources in $CMSIS"; exit 2; }
    COMMIT=$(git --git-dir="$CMSIS" rev-parse HEAD)
fi
echo "CMSIS-DSP $COMMIT"

# The driver: reads D-bit samples, filters them in blocks of BLOCK with the routine the header's
# integer form is for, saturates each output to D bits and prints it.
cat >"$WORK/driver.c" <<'EOF'
#include <stdio.h>
#include "arm_math.h"
#include "filter.h"

#define MAX_SAMPLES 400

static long long Saturate(long long v, int bits) {
    const long long most = (1LL << (bits - 1)) - 1;
    return v > most ? most : v < -most - 1 ? -most - 1 : v;
}

int main(void) {
    static long long in[MAX_SAMPLES];
    long long out[MAX_SAMPLES];
    int n = 0;
    while (n < MAX_SAMPLES && scanf("%lld", &in[n]) == 1) {
        ++n;
    }
#if defined(USE_FIR_Q15)
    /* numTaps + blockSize words: arm_fir_init_q15 clears that many with ARM_MATH_LOOPUNROLL. */
    static q15_t state[FILTER_NUM_TAPS_Q15 + BLOCK];
    arm_fir_instance_q15 S;
    if (arm_fir_init_q15(&S, FILTER_NUM_TAPS_Q15, filter_taps_q15, state, BLOCK) != ARM_MATH_SUCCESS) {
        return 2;
    }
    for (int i = 0; i < n; i += BLOCK) {
        q15_t x[BLOCK] = {0}, y[BLOCK];
        for (int k = 0; k < BLOCK && i + k < n; ++k) x[k] = (q15_t)in[i + k];
        arm_fir_q15(&S, x, y, BLOCK);
        for (int k = 0; k < BLOCK && i + k < n; ++k) out[i + k] = y[k];
    }
#elif defined(USE_FIR_Q31)
    static q31_t state[FILTER_NUM_TAPS + BLOCK - 1];
    arm_fir_instance_q31 S;
    arm_fir_init_q31(&S, FILTER_NUM_TAPS, filter_taps_q31, state, BLOCK);
    for (int i = 0; i < n; i += BLOCK) {
        q31_t x[BLOCK] = {0}, y[BLOCK];
        for (int k = 0; k < BLOCK && i + k < n; ++k) x[k] = (q31_t)in[i + k];
        arm_fir_q31(&S, x, y, BLOCK);
        for (int k = 0; k < BLOCK && i + k < n; ++k) out[i + k] = y[k];
    }
#else
    static q31_t state[4 * FILTER_NUM_STAGES];
    arm_biquad_casd_df1_inst_q31 S;
    arm_biquad_cascade_df1_init_q31(&S, FILTER_NUM_STAGES, filter_coeffs_q31, state,
                                    FILTER_POST_SHIFT_Q31);
    for (int i = 0; i < n; i += BLOCK) {
        q31_t x[BLOCK] = {0}, y[BLOCK];
        for (int k = 0; k < BLOCK && i + k < n; ++k) x[k] = (q31_t)in[i + k];
        arm_biquad_cascade_df1_q31(&S, x, y, BLOCK);
        for (int k = 0; k < BLOCK && i + k < n; ++k) out[i + k] = y[k];
    }
#endif
    for (int i = 0; i < n; ++i) {
        printf("%lld\n", Saturate(out[i], DATA_BITS));
    }
    return 0;
}
EOF

FF=$SRC/Source/FilteringFunctions
SOURCES="$FF/arm_fir_q15.c $FF/arm_fir_init_q15.c $FF/arm_fir_q31.c $FF/arm_fir_init_q31.c
         $FF/arm_biquad_cascade_df1_q31.c $FF/arm_biquad_cascade_df1_init_q31.c"

failures=0
# name | structure | design options | wave options | D | routine
while IFS='|' read -r name structure options wave dataBits routine; do
    [ -z "$name" ] && continue
    dir=$WORK/$name
    mkdir -p "$dir"
    # shellcheck disable=SC2086
    (cd "$dir" && "$CLI" "$structure" $options --export filter.h >/dev/null)
    # shellcheck disable=SC2086
    "$CLI" wave --structure "$structure" $options $wave --hardware --data-bits "$dataBits" 2>"$dir/stderr.txt" |
        /usr/bin/python3 -c '
import math, sys
full = 2 ** (int(sys.argv[1]) - 1) - 1
def fixed(v):  # the test wave unit back to the D-bit integer, halves away from zero
    x = float(v) * full / 50.0
    return int(math.copysign(math.floor(abs(x) + 0.5), x))
with open(sys.argv[2] + "/input.txt", "w") as i, open(sys.argv[2] + "/hardware.txt", "w") as h:
    for line in sys.stdin:
        n, x, ideal, hw = line.split()
        i.write("%d\n" % fixed(x))
        h.write("%d\n" % fixed(hw))
' "$dataBits" "$dir"
    for unroll in "" "-DARM_MATH_LOOPUNROLL"; do
        for block in 1 7 400; do
            # shellcheck disable=SC2086
            gcc -O2 -w -D__GNUC_PYTHON__ $unroll -D"$routine" -DBLOCK="$block" \
                -DDATA_BITS="$dataBits" -I"$SRC/Include" -I"$SRC/PrivateInclude" -I"$dir" \
                "$WORK/driver.c" $SOURCES -o "$dir/driver" -lm
            "$dir/driver" <"$dir/input.txt" >"$dir/cmsis.txt"
            samples=$(wc -l <"$dir/hardware.txt")
            differ=$(paste -d' ' "$dir/cmsis.txt" "$dir/hardware.txt" | awk '$1 != $2' | wc -l)
            echo "$name ${unroll:-plain} block $block: $differ of $samples samples differ"
            [ "$differ" -eq 0 ] && [ "$samples" -eq 400 ] || failures=$((failures + 1))
        done
    done
    sed 's/^/    hardware: /' "$dir/stderr.txt"
done <<'CASES'
iir_lpf4_b16_d16|iir|--sections 4 --cutoff 150 --quantize 16||16|USE_IIR_Q31
iir_lpf4_b16_d16_square|iir|--sections 4 --cutoff 150 --quantize 16|--wave square --freq 40|16|USE_IIR_Q31
iir_bpf6_b20_d16|iir|--type bpf --sections 6 --cutoff 150,250 --quantize 20|--freq 200|16|USE_IIR_Q31
iir_hpf2_b12_d12|iir|--type hpf --sections 2 --cutoff 200 --quantize 12|--wave square --freq 50|12|USE_IIR_Q31
fir_lpf_b16_d16|fir|--taps 41 --quantize 16||16|USE_FIR_Q15
fir_lpf_b16_d16_square|fir|--taps 41 --quantize 16|--wave square --freq 40|16|USE_FIR_Q15
fir_bpf_b24_d20|fir|--type bpf --taps 61 --edges 100,150,250,300 --quantize 24|--freq 200|20|USE_FIR_Q31
CASES

echo "failures: $failures"
[ "$failures" -eq 0 ]
