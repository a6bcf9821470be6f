// IIR cascade design on values: the design parameters in, the sections and the values of every step
// out. See dsp/Iir.cpp for the method.
#pragma once

#include <array>

namespace dsp {

// The filter types, in the order of the form's filter-type radio group.
enum IirType { kIirLpf = 0, kIirHpf = 1, kIirBrf = 2, kIirBpf = 3 };

constexpr int kIirMaxSections = 8;

// The design methods; Chebyshev type I (the cascade below) is the default.
enum IirMethod { kIirCheby1 = 0, kIirButter = 1, kIirCheby2 = 2, kIirEllip = 3, kIirBessel = 4 };
constexpr int kIirMethodCount = 5;
// "cheby1", "butter", "cheby2", "ellip", "bessel"; the method of a name, -1 when unknown.
const char* IirMethodName(int method);
int IirMethodOfName(const char* name);
// Whether the method reads the pass-band ripple and the stop-band attenuation.
bool IirMethodUsesRipple(int method);
bool IirMethodUsesAttenuation(int method);

struct IirSpec {
    int type = kIirLpf;
    int sections = 2;      // n: 1..8, even for BRF/BPF
    double rippleDb = 0.3; // Ac, pass-band ripple
    double fs = 1000.0;    // Hz
    double fc1 = 200.0;    // cut-off edges, Hz
    double fc2 = 300.0;
    int method = kIirCheby1;
    double attenDb = 40.0; // As, stop-band attenuation (Chebyshev II, elliptic)
};

using SectionArray = std::array<double, kIirMaxSections>; // one value per section

// What the five steps compute, in the order they run. Each step writes its own values and reads
// what the earlier steps wrote; a step leaves entries past its count as it found them.
struct IirCascade {
    // ChebyshevPrototype: m prototype sections s^2 + P1 s + P0 of order 2m.
    int protoSections = 0;
    int protoOrder = 0;
    double chebEps = 0.0;
    double chebV0 = 0.0;
    SectionArray protoP1{}, protoP0{};
    // PrewarpEdges: the analog edges, Hz.
    double warpFc1 = 0.0, warpFc2 = 0.0;
    // TransformSections: analog sections (N2 s^2 + N1 s + N0) / (s^2 + D1 s + D0) and gains.
    SectionArray anaDen1{}, anaDen0{}, anaNum2{}, anaNum1{}, anaNum0{}, anaGain{};
    // BilinearSections: the digital sections before the gain factor.
    SectionArray digA0{}, digA1{}, digA2{}, digB1{}, digB2{};
    // AssembleSections: (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2); pass-through past n.
    SectionArray a0{1, 1, 1, 1, 1, 1, 1, 1}, a1{}, a2{}, b1{}, b2{};
};

// The section count the cascade can hold for the type: 1..8, even for BRF/BPF; a known type.
bool IirSectionCountDesignable(int type, int sections);

void ChebyshevPrototype(const IirSpec& params, IirCascade& c);
void PrewarpEdges(const IirSpec& params, IirCascade& c);
void TransformSections(const IirSpec& params, IirCascade& c);
void BilinearSections(const IirSpec& params, IirCascade& c);
void AssembleSections(const IirSpec& params, IirCascade& c);

// Chebyshev I runs the five steps below; the other methods design from poles and zeros
// (dsp/IirMethods.h) and write the prototype counts, the edges and the sections only.
// Runs the five steps on `c` (the previous design, whose stale entries the steps keep).
// Returns false without running them when the section count is not designable, and false after
// running them when a section coefficient is not finite (a ripple of 0 dB, fs of 0, a band
// edge at 0 Hz for BRF/BPF).
bool DesignIirCascade(const IirSpec& params, IirCascade& c);

} // namespace dsp
