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
    int stages = 4;    // S
    int rate = 8;      // R
    int delay = 1;     // DL, 1 or 2
    int dataBits = 16; // D, input and output
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

// The model. A decimator gives ceil(N/R) outputs (output m after input mR), an interpolator N*R
// outputs (R after every input). The inputs are D-bit values; others are refused with an empty
// result.
std::vector<std::int64_t> RunCic(const CicParams& params, std::span<const std::int64_t> input);

// |H(f)| / H(0) at `frequency`, in cycles per sample of the higher rate (the decimator's input,
// the interpolator's output), 0 to 0.5: |sin(pi f R DL) / (R DL sin(pi f))|^S.
double CicMagnitude(const CicParams& params, double frequency);
// The same in dB (the droop at a pass-band edge is this at that edge; -inf at a null).
double CicMagnitudeDb(const CicParams& params, double frequency);

} // namespace dsp
