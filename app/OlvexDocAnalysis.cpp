// The record's analysis, IIR and number-form operations: each reads the fields, calls the
// engine and stores the result.
#include <algorithm>
#include <iterator>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "dsp/Fft.h"
#include "dsp/Iir.h"
#include "dsp/NumberForms.h"
#include "dsp/QuantRules.h"
#include "dsp/Response.h"
#include "dsp/Wave.h"

static_assert(COlvexDoc::kResponseUsed == dsp::kResponseUsed &&
              COlvexDoc::kResponseUsed <= COlvexDoc::kResponsePoints);
static_assert(COlvexDoc::kWaveFiltered == dsp::kWaveFiltered &&
              COlvexDoc::kWaveFiltered <= COlvexDoc::kWaveInSamples &&
              COlvexDoc::kWaveFiltered <= COlvexDoc::kWaveOutSamples);
static_assert(COlvexDoc::kFftBins == dsp::kFftBins &&
              COlvexDoc::kFftFirstSample == dsp::kFftFirstSample);
static_assert(COlvexDoc::kIirSections == dsp::kIirMaxSections &&
              COlvexDoc::kIirSections == dsp::kCascadeSections);

namespace {

// Calls f(record array, cascade array) for every section array the IIR design keeps.
template <typename Doc, typename Cascade, typename F>
void ForEachIirArray(Doc& d, Cascade& c, F f) {
    f(d.m_aProtoP1, c.protoP1), f(d.m_aProtoP0, c.protoP0);
    f(d.m_aAnaDen1, c.anaDen1), f(d.m_aAnaDen0, c.anaDen0), f(d.m_aAnaNum2, c.anaNum2);
    f(d.m_aAnaNum1, c.anaNum1), f(d.m_aAnaNum0, c.anaNum0), f(d.m_aAnaGain, c.anaGain);
    f(d.m_aDigA0, c.digA0), f(d.m_aDigA1, c.digA1), f(d.m_aDigA2, c.digA2);
    f(d.m_aDigB1, c.digB1), f(d.m_aDigB2, c.digB2);
}

template <typename Doc, typename Cascade, typename F>
void ForEachSectionArray(Doc& d, Cascade& c, F f) {
    f(d.m_aA0, c.a0), f(d.m_aA1, c.a1), f(d.m_aA2, c.a2), f(d.m_aB1, c.b1), f(d.m_aB2, c.b2);
}

void StoreResponse(COlvexDoc& doc, const dsp::Response& r) {
    std::copy(r.gainDb.begin(), r.gainDb.end(), doc.m_aGainDb);
    std::copy(r.phase.begin(), r.phase.end(), doc.m_aPhase);
}

} // namespace

bool COlvexDoc::DesignIir() {
    const dsp::IirSpec params{m_nFilterType, m_nIirSections, m_dRippleDb,  m_fs,
                              m_dIirFc1,     m_dIirFc2,      m_nIirMethod, m_dIirAttenDb};
    if (!dsp::IirSectionCountDesignable(params.type, params.sections)) {
        return false;
    }
    m_bBandsKnown = 1; // the sections now come from the form's cut-offs
    // The steps leave entries past their counts as they were, so they start from the record.
    dsp::IirCascade c;
    const auto load = [](const double(&from)[kIirSections], dsp::SectionArray& to) {
        std::copy(std::begin(from), std::end(from), to.begin());
    };
    ForEachIirArray(*this, c, load);
    ForEachSectionArray(*this, c, load);
    const bool finite = dsp::DesignIirCascade(params, c);
    m_nIirProtoSections = c.protoSections;
    m_nIirProtoOrder = c.protoOrder;
    m_dChebEps = c.chebEps;
    m_dChebV0 = c.chebV0;
    m_dIirWarpFc1 = c.warpFc1;
    m_dIirWarpFc2 = c.warpFc2;
    const auto store = [](double(&to)[kIirSections], const dsp::SectionArray& from) {
        std::copy(from.begin(), from.end(), to);
    };
    ForEachIirArray(*this, c, store);
    // Non-finite sections (a ripple of 0 dB, fs of 0, a BRF/BPF edge at 0 Hz) would turn every
    // analysis into NaN: the previous sections stay.
    if (finite) {
        ForEachSectionArray(*this, c, store);
    }
    return finite;
}

double COlvexDoc::QuantScale() const {
    return coeffs::QuantScale(m_nQuantBits);
}

double COlvexDoc::Quantize(double x) const {
    return coeffs::Quantize(x, m_nQuantBits);
}

int COlvexDoc::ToFixedInteger(double x) const {
    return coeffs::ToFixedInteger(x, m_nQuantBits);
}

double COlvexDoc::MaxFirCoeffMagnitude() const {
    // The extra tap that an even HPF/BRF tap count adds is not part of the design.
    const int n = std::clamp(m_nTaps, 0, kMaxFirTaps);
    return coeffs::LargestMagnitude(std::span<const double>(m_aFirCoeffs, static_cast<size_t>(n)));
}

double COlvexDoc::MaxIirCoeffMagnitude() const {
    return coeffs::LargestQuantizedMagnitude(TakeCoefficients(true, false));
}

dsp::FilterCoefficients COlvexDoc::TakeCoefficients(bool iir) const {
    return TakeCoefficients(iir, m_bQuantize == 1);
}

dsp::FilterCoefficients COlvexDoc::TakeCoefficients(bool iir, bool quantized) const {
    if (!iir) {
        return dsp::FirCoefficients(m_aFirCoeffs, m_nTaps, design::ShownFirTapCount(*this),
                                    m_nCoeffMultiplier, quantized, m_nQuantBits);
    }
    dsp::Section sections[kIirSections];
    for (int s = 0; s < kIirSections; ++s) {
        sections[s] = {m_aA0[s], m_aA1[s], m_aA2[s], m_aB1[s], m_aB2[s]};
    }
    return dsp::IirCoefficients(sections, m_nIirSections, quantized, m_nQuantBits);
}

void COlvexDoc::FirResponse() {
    StoreResponse(*this, dsp::FirResponse(TakeCoefficients(false).DesignedTaps()));
}

void COlvexDoc::IirResponse() {
    StoreResponse(*this, dsp::IirResponse(TakeCoefficients(true).DesignedSections()));
}

void COlvexDoc::GenerateTestWave() {
    if (m_bUseUserWave == 0) {
        dsp::GenerateTestWave(m_fs, m_dWaveFreq, m_nWaveType, m_aWaveIn);
    }
}

void COlvexDoc::FilterWaveFir() {
    dsp::FilterWaveFir(TakeCoefficients(false).DesignedTaps(), m_aWaveIn, m_aWaveOut);
}

void COlvexDoc::FilterWaveIir() {
    dsp::FilterWaveIir(TakeCoefficients(true).DesignedSections(), m_aWaveIn, m_aWaveOut);
}

void COlvexDoc::FftSpectrum(std::span<const double> wave) {
    const dsp::Spectrum s =
        dsp::FftSpectrum(wave, dsp::SpectrumScale(m_dPlotAmplitude, m_dFftMagRange));
    std::copy(s.magnitude.begin(), s.magnitude.end(), m_aFftMag);
    std::copy(s.phase.begin(), s.phase.end(), m_aFftPhase);
}
