// Cascaded integrator-comb filters, bit-true: the decimator (S integrators at the input rate, a
// rate change by R, S combs of differential delay DL at the output rate) and the interpolator
// (S combs at the input rate, zero-stuffing by R, S integrators at the output rate).
//
// Every register of one filter has the same width W = D + G, G the growth below, and wraps in
// two's complement: the sums are exact modulo 2^W, and the output, which fits W bits, is therefore
// exact. The output keeps the top D bits: output = floor(sum / 2^G), an arithmetic shift by G.
//
// Both structures filter with h, the S-fold convolution of R*DL ones (length S*(R*DL - 1) + 1,
// sum (R*DL)^S):
// - decimator: output m = floor(sum_k h[k] x[mR - k] / 2^G), G = ceil(S * log2(R*DL));
// - interpolator: output n = floor(sum_k h[k] u[n - k] / 2^G), u the input with R - 1 zeros after
//   every sample, G = ceil(log2((R*DL)^S / R)); each of the R phases of h sums to (R*DL)^S / R.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dsp {

constexpr int kCicMinStages = 1;
constexpr int kCicMaxStages = 8;
constexpr int kCicMinRate = 2;
constexpr int kCicMaxRate = 1024;
constexpr int kCicMinDataBits = 4;
constexpr int kCicMaxDataBits = 24;

struct CicParams {
    bool interpolate = false;
    int stages = 4;        // S
    int rate = 8;          // R
    int delay = 1;         // DL, 1 or 2
    int dataBits = 16;     // D, input and output
    bool prune = false;    // decimator only: register pruning, below
    bool pipeline = false; // decimator only: the hardware's adders split in pipelined halves
};

// Empty when every field is in range, else the reason ("stages S: 1 to 8").
std::string CicRangeError(const CicParams& params);

struct CicStructure {
    int growth = 0;       // G: bits the sum grows by, and the output's shift
    int registerBits = 0; // W = D + G
    int kernelLength = 0; // length of h
    double gain = 0.0;    // DC gain from input to output after the shift (at most 1)
};

// The structure of an in-range filter.
CicStructure DescribeCic(const CicParams& params);

// Register pruning of a decimator (Hogenauer). Stage j (the integrators 1..S, then the combs
// S+1..2S) drops the B_j lowest bits of the value it takes in: it keeps floor(v / 2^B_j) * 2^B_j.
// B_j = max(0, floor(G - log2 F_j - 1/2 - log2(S) / 2)), F_j^2 the sum of squares of the impulse
// response from stage j to the output, so that the dropped bits of all stages together add at
// most the variance of the output's own truncation. To the exact sum the dropped bits add
// sum_j h_j * e_j, each e_j in (-2^B_j, 0]: at most E = sum_j (2^B_j - 1) * sum_k |h_j[k]|. The
// registers are one bit wider than the exact filter's (W + 1), which holds the exact sum plus
// that error; the output is floor(sum / 2^G) saturated to D bits, and differs from the exact
// filter's output by at most ceil(E / 2^G).
struct CicPruning {
    std::vector<int> dropped;    // B_1..B_2S
    int registerBits = 0;        // W + 1
    std::int64_t errorBound = 0; // ceil(E / 2^G), in output units
};

// The pruning of an in-range decimator (empty `dropped` for an interpolator).
CicPruning PruneCic(const CicParams& params);

// The model (with `prune`, the pruned decimator above). A decimator gives ceil(N/R) outputs (output
// m after input mR), an interpolator N*R outputs (R after every input). The inputs are D-bit
// values; others are refused with an empty result.
std::vector<std::int64_t> RunCic(const CicParams& params, std::span<const std::int64_t> input);

// |H(f)| / H(0) at `frequency`, in cycles per sample of the higher rate (the decimator's input,
// the interpolator's output), 0 to 0.5: |sin(pi f R DL) / (R DL sin(pi f))|^S.
double CicMagnitude(const CicParams& params, double frequency);
// The same in dB (the droop at a pass-band edge is this at that edge; -inf at a null).
double CicMagnitudeDb(const CicParams& params, double frequency);

// The responses at the high rate, scaled so that a constant input of 1 gives outputs of 1. The
// impulse response is h / (R DL)^S for a decimator (to a unit input sample), h R / (R DL)^S for an
// interpolator (the outputs of one unit input sample); the step response is the response to
// inputs of 1 from sample 0 on (at the input rate), as long as the impulse response, ending at 1.
std::vector<double> CicImpulseResponse(const CicParams& params);
std::vector<double> CicStepResponse(const CicParams& params);
// The group delay, constant (h is symmetric): (length of h - 1) / 2 samples of the high rate.
double CicGroupDelay(const CicParams& params);

// A compensator: a FIR at the CIC's low rate (after a decimator, before an interpolator) whose
// pass band 0..passEdge undoes the CIC's droop, with a stop band stopEdge..0.5 of gain 0
// (frequencies in cycles per low-rate sample). Remez design on the desired response
// 1 / |H(f / R)| in the pass band and 0 in the stop band, both weighted 1: the compensator's
// error is equiripple, and the cascade |H(f / R)| * A(f) lies within that ripple of 1.
constexpr int kCicCompensatorMinTaps = 4;
constexpr int kCicCompensatorMaxTaps = 380;
// The pass band may reach no further than where the droop is this deep.
constexpr double kCicCompensatorMaxDroopDb = 40.0;

struct CicCompensatorParams {
    int taps = 31;
    double passEdge = 0.2;
    double stopEdge = 0.3;
};

struct CicCompensator {
    std::string error;              // empty when designed
    std::vector<double> taps;       // symmetric
    bool optimum = false;           // the taps hold the exchange's level on its grid
    double ripple = 0.0;            // the compensator's largest error, pass and stop band
    double cascadeDeviation = 0.0;  // largest |H A - 1| over the pass band
    double cascadeRippleDb = 0.0;   // largest |20 log10(H A)| over the pass band
    double stopAttenuationDb = 0.0; // -20 log10 of the largest |H A| over the stop band
    double droopDb = 0.0;           // the CIC's droop at the pass-band edge
};

// Empty when the parameters can be designed, else the reason.
std::string CicCompensatorRangeError(const CicParams& cic, const CicCompensatorParams& params);
CicCompensator DesignCicCompensator(const CicParams& cic, const CicCompensatorParams& params);
// |A(f)| of symmetric taps at f cycles per sample.
double FirMagnitude(std::span<const double> taps, double frequency);

} // namespace dsp
