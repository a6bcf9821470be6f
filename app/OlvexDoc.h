// COlvexDoc: the one record of the whole filter state.
//
// Every design parameter, coefficient array, analysis setting and result array lives here as a
// fixed-size member with its default set by the constructor. The operations the window uses are
// members that read the fields, call the engine (dsp/, coeffs/) and store the result: the FIR
// design and its estimates in app/OlvexDocFir.cpp, the IIR design, the analyses and the number
// forms in app/OlvexDocAnalysis.cpp.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "dsp/Cic.h"
#include "dsp/FilterCoefficients.h"
#include "dsp/FirDesign.h"
#include "dsp/FirMethods.h"
#include "dsp/Iir.h"

// The four filter types, in the order of the form's filter-type radio group; m_nFilterType and
// every type parameter hold one of them.
enum FilterType { kLpf = 0, kHpf = 1, kBrf = 2, kBpf = 3 };

class COlvexDoc {
public:
    // Array capacities of the record.
    static constexpr int kMaxFirTaps = 400;                    // m_aFirCoeffs
    static constexpr int kMaxBands = dsp::kMaxFirBands;        // m_aBandDesired, m_aBandWeight
    static constexpr int kMaxBandEdges = 2 * kMaxBands;        // m_aBandEdges
    static constexpr int kIirSections = dsp::kIirMaxSections;  // every IIR section array
    static constexpr int kResponsePoints = 400;                // m_aGainDb, m_aPhase (360 used)
    static constexpr int kWaveInSamples = 700;                 // m_aWaveIn
    static constexpr int kWaveOutSamples = 400;                // m_aWaveOut
    static constexpr int kFftBins = 256;                       // m_aFftMag, m_aFftPhase
    static constexpr int kMinDialogTaps = dsp::kMinDesignTaps; // tap count of the FIR dialogs
    static constexpr int kMaxDialogTaps = dsp::kMaxDesignTaps;

    COlvexDoc();

    // ---- Filter selection and FIR design parameters -------------------------------------------
    int m_nFilterType = kLpf; // a FilterType
    double m_fs = 1000.0;     // sampling frequency, Hz
    // The FIR taps and the IIR sections are two designs, each made for its own filter type and
    // fs. m_nFilterType, m_fs and m_bBandsKnown describe the structure m_nShownStructure (0 FIR,
    // 1 IIR); the other structure's values wait in the m_*Other* fields until ShowStructure swaps
    // them back, so no analysis pairs one design's coefficients with another's type or fs.
    // A structure whose coefficients no design, load or open has made yet takes the shown
    // pair when it is shown (m_aStructureMade, by structure), as the form carries fs over.
    int m_nShownStructure = 0;
    int m_nOtherFilterType = kLpf;
    double m_dOtherFs = 1000.0;
    int m_bOtherBandsKnown = 1; // m_bBandsKnown of the other structure's coefficients
    int m_aStructureMade[2] = {0, 0};
    double m_fc1 = 200.0; // FIR band edges, Hz, ascending
    double m_fc2 = 250.0;
    double m_fc3 = 350.0;
    double m_fc4 = 400.0;
    double m_dRR = 10.0; // ripple ratio RR = K*(d1/d2): stop-band weight
    int m_nTaps = 90;    // tap count N used by the design
    int m_bEvenTaps = 0; // 1: entered with an even N, designed with N - 1 (odd-only)
    int m_nCoeffMultiplier = 1;
    int m_nFirMethod = dsp::kFirRemez;              // a dsp::FirMethod
    double m_dKaiserBeta = dsp::kDefaultKaiserBeta; // the Kaiser window's shape (kFirKaiser)

    // What the FIR design makes, a dsp::FirKind: the layout of m_nFilterType (kFilterType), or a
    // Hilbert transformer, differentiator or multiband filter on the band table below, which
    // then is the design's input (edges as fractions of fs) and stays as it was entered.
    int m_nFirKind = static_cast<int>(dsp::FirKind::kFilterType);

    // The rate the FIR design runs at, as the FIR Design dialogs' Rate choice set it: a
    // RateKind, and the factor M (decimation) or L (interpolation) in kMinRateFactor..
    // kMaxRateFactor, kept while single rate is chosen so the dialog shows it again. VHDL Code,
    // Save VHDL and the hardware report generate the FIR's polyphase filter from it; the IIR
    // cascade always runs at one rate.
    enum RateKind { kSingleRate = 0, kDecimate = 1, kInterpolate = 2 };
    static constexpr int kMinRateFactor = 2;
    static constexpr int kMaxRateFactor = 64;
    int m_nRateKind = kSingleRate;
    int m_nRateFactor = 2;
    bool HasRateChange() const {
        return (m_nRateKind == kDecimate || m_nRateKind == kInterpolate) &&
               m_nRateFactor >= kMinRateFactor && m_nRateFactor <= kMaxRateFactor;
    }

    // The third structure of the form: a cascaded integrator-comb decimator or interpolator,
    // designed by its parameters alone (no taps, no sections; dsp/Cic.h computes everything from
    // them). The CIC Design dialog sets them; m_bCicDesigned is 1 once a CIC design stands. The
    // pass-band edge is where the droop is reported, in cycles per sample of the low rate.
    static constexpr int kCicStructure = 2;
    int m_bCicInterpolate = 0;
    int m_nCicRate = 8;
    int m_nCicStages = 4;
    int m_nCicDelay = 1;
    int m_nCicDataBits = 16;
    double m_dCicEdge = 0.25;
    int m_bCicPrune = 0;
    int m_bCicPipeline = 0;
    int m_bCicDesigned = 0;
    dsp::CicParams CicParams() const {
        dsp::CicParams p;
        p.interpolate = m_bCicInterpolate != 0;
        p.rate = m_nCicRate;
        p.stages = m_nCicStages;
        p.delay = m_nCicDelay;
        p.dataBits = m_nCicDataBits;
        p.prune = m_bCicPrune != 0;
        p.pipeline = m_bCicPipeline != 0;
        return p;
    }

    // The CIC's droop compensator: a FIR at the low rate (dsp::DesignCicCompensator) the CIC
    // Design dialog asks for with its tap count and its pass- and stop-band edges (cycles per
    // low-rate sample). m_nCicCompDesigned is the count of taps in m_aCicCompCoeffs, 0 while no
    // compensator stands (none asked for, or its design failed); the figures are the design's.
    // With the CIC shown, Coefficients, Save Coefficients and Export act on these taps.
    static constexpr int kMaxCicCompTaps = dsp::kCicCompensatorMaxTaps;
    int m_bCicCompensate = 0;
    int m_nCicCompTaps = 31;
    double m_dCicCompPassEdge = 0.2;
    double m_dCicCompStopEdge = 0.3;
    int m_nCicCompDesigned = 0;
    double m_aCicCompCoeffs[kMaxCicCompTaps] = {};
    double m_dCicCompRipple = 0.0;
    double m_dCicCompPassRippleDb = 0.0;
    double m_dCicCompStopAttenDb = 0.0;
    dsp::CicCompensatorParams CicCompensatorParams() const {
        dsp::CicCompensatorParams c;
        c.taps = m_nCicCompTaps;
        c.passEdge = m_dCicCompPassEdge;
        c.stopEdge = m_dCicCompStopEdge;
        return c;
    }
    bool HasCicCompensator() const { return m_nCicCompDesigned > 0; }
    std::span<const double> CicCompensatorTaps() const {
        return {m_aCicCompCoeffs, static_cast<size_t>(m_nCicCompDesigned)};
    }
    // Designs the compensator the fields ask for (or clears it when none is asked for); the
    // reason when asked for and not designed, which leaves none standing.
    std::string DesignCicCompensator();
    // The compensator's taps as they leave the design (multiplier 1), quantized to m_nQuantBits
    // while quantization is on.
    dsp::FilterCoefficients TakeCicCompensatorCoefficients() const;

    // ---- FIR design work area -------------------------------------------------------------------
    double m_aFirCoeffs[kMaxFirTaps] = {};                 // h[0..N-1] of the last design
    double m_aBandDesired[kMaxBands] = {0.0, 1.0, 0.0};    // desired gain per band
    double m_aBandWeight[kMaxBands] = {100.0, 1.0, 100.0}; // weight per band
    double m_aBandEdges[kMaxBandEdges] = {0.0, 0.2, 0.22, 0.3, 0.32, 0.5}; // fractions of fs
    int m_nBands = 3;
    int m_bDesignOk = 1;
    int m_nGridSize = 0;
    int m_bAdjustOffered = 0;
    // Set by each Remez run: 1 when it stopped at its iteration limit without converging.
    int m_bIterationLimit = 0;
    // Set by each Remez run: 1 when the design is within 0.1 % of the equiripple optimum on the
    // dense grid, 0 when it ended short of it (or failed). The achieved ripple is the largest
    // weighted error of the taps on the grid; the target is the level |delta| of the final
    // extremal set, which the optimum cannot undercut.
    int m_bOptimumReached = 1;
    // Set by each Remez run: the exchange iterations it took, every pass counted (a restart with
    // the one-at-a-time exchange, a repeat on a grid with the skipped edge points).
    int m_nRemezIterations = 0;
    double m_dAchievedRipple = 0.0;
    double m_dTargetRipple = 0.0;

    // ---- IIR design parameters and results ------------------------------------------------------
    int m_nIirSections = 2;
    double m_dRippleDb = 0.3;
    double m_dIirFc1 = 200.0;
    double m_dIirFc2 = 300.0;
    int m_nIirMethod = dsp::kIirCheby1; // a dsp::IirMethod
    double m_dIirAttenDb = 40.0;        // As of Chebyshev II and elliptic, dB
    double m_aA0[kIirSections] = {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
    double m_aA1[kIirSections] = {};
    double m_aA2[kIirSections] = {};
    double m_aB1[kIirSections] = {};
    double m_aB2[kIirSections] = {};

    // IIR working fields, kept between the design steps.
    int m_nIirProtoSections = 0; // m, prototype sections
    int m_nIirProtoOrder = 0;    // 2m
    double m_dChebEps = 0.0;
    double m_dChebV0 = 0.0;
    double m_aProtoP1[kIirSections] = {}; // prototype section s^2 + P1 s + P0
    double m_aProtoP0[kIirSections] = {};
    double m_dIirWarpFc1 = 0.0; // pre-warped edges, Hz
    double m_dIirWarpFc2 = 0.0;
    double m_aAnaDen1[kIirSections] = {}; // analog denominator s^2 + D1 s + D0
    double m_aAnaDen0[kIirSections] = {};
    double m_aAnaNum2[kIirSections] = {}; // analog numerator N2 s^2 + N1 s + N0
    double m_aAnaNum1[kIirSections] = {};
    double m_aAnaNum0[kIirSections] = {};
    double m_aAnaGain[kIirSections] = {};
    double m_aDigA0[kIirSections] = {}; // digital sections before the gain factor
    double m_aDigA1[kIirSections] = {};
    double m_aDigA2[kIirSections] = {};
    double m_aDigB1[kIirSections] = {};
    double m_aDigB2[kIirSections] = {};

    // ---- Quantization, report and VHDL ----------------------------------------------------------
    int m_bQuantize = 0;
    int m_nQuantBits = 16;
    int m_nCoeffFormat = 0; // 0 Real, 1 Bin, 2 Dec, 3 Hex
    int m_bParseError = 0;
    int m_nDataBits = 12;
    // The hardware VHDL Code generates: the vhdl::Architecture (0 serial, 1 folded, 2 parallel,
    // 3 auto), the folded multiplier count and the FPGA clock in MHz that Auto chooses for.
    int m_nVhdlArchitecture = 0;
    int m_nVhdlMultipliers = 4;
    double m_dVhdlClockMhz = 48.0;
    // The language VHDL Code writes in: the vhdl::HdlLanguage (0 VHDL, 1 Verilog).
    int m_nHdlLanguage = 0;

    // ---- Design from requirements, as the parameter dialogs were last accepted ----------------
    // The FIR dialogs' mode with its Ap and As, the IIR dialogs' mode with its As (their Ap is
    // the ripple); the dialogs open with them.
    int m_bFirFromRequirements = 0;
    double m_dFirApDb = 0.5;
    double m_dFirAsDb = 60.0;
    int m_bIirFromRequirements = 0;
    double m_dIirAsDb = 40.0;

    // ---- Analysis display settings --------------------------------------------------------------
    double m_dGainRange = 100.0;
    int m_nRespFreqZoom = 0;
    int m_nRespStartPos = 0;
    double m_dFftMagRange = 50.0;
    int m_nFftFreqZoom = 0;
    int m_nFftStartPos = 0;
    double m_dWaveFreq = 100.0;
    int m_nWaveType = 0; // 0 sine, 1 square
    int m_bUseUserWave = 0;
    double m_dWaveMagRange = 50.0;
    int m_nWaveTimeZoom = 0;
    int m_nWaveStartPos = 0;
    double m_dPlotAmplitude = 50.0;
    std::string m_strUserWavePath; // the user wave file last read into m_aWaveIn

    // 0 while the coefficients came from a bare coefficient file: their bands (type, fs, edges)
    // are not known, so nothing is measured against the form's. A design or an opened design
    // file sets it.
    int m_bBandsKnown = 1;

    // ---- Result arrays --------------------------------------------------------------------------
    double m_aGainDb[kResponsePoints] = {};
    double m_aPhase[kResponsePoints] = {};
    double m_aWaveIn[kWaveInSamples] = {};
    double m_aWaveOut[kWaveOutSamples] = {};
    double m_aFftMag[kFftBins] = {};
    double m_aFftPhase[kFftBins] = {};

    // Where the engine's console text goes (the iteration-limit notice). The window program
    // writes it to standard output; the batch command line sends it to standard error.
    std::function<void(const std::string&)> m_fnConsole;

    // ---- FIR design (app/OlvexDocFir.cpp, the engine in dsp/FirDesign.h) ------------------------
    // Clears the taps and the response arrays.
    void ClearDesignArrays();
    // Makes m_nFilterType and m_fs those of the structure's coefficients (0 FIR, 1 IIR; any other
    // value but the CIC's counts as IIR). Nothing changes when the structure is shown already, or
    // for the CIC, which has no filter type or fs of its own.
    void ShowStructure(int structure);
    // The shown structure's coefficients are now a design of m_nFilterType and m_fs.
    void NoteStructureMade() { m_aStructureMade[m_nShownStructure] = 1; }
    // The filter type and fs of a structure's coefficients, shown or not.
    int FilterTypeOf(int structure) const;
    double FsOf(int structure) const;
    bool BandsKnownOf(int structure) const;
    // Clears the arrays, writes the layout of filter type nType (m_nBands, m_aBandEdges,
    // m_aBandDesired, m_aBandWeight) and designs m_nTaps taps by Remez exchange into
    // m_aFirCoeffs; a design of another kind (m_nFirKind) takes the band table as it stands,
    // m_aFirCoeffs, with the outcome in m_bDesignOk, m_bOptimumReached, m_bIterationLimit,
    // m_nRemezIterations, m_nGridSize and the ripples. The iteration-limit notice goes to the
    // console.
    void DesignFir(int nType);
    // The kind of the FIR design, and whether it runs on the band table rather than the type's
    // layout.
    dsp::FirKind FirKind() const;
    bool FirUsesBandTable() const { return FirKind() != dsp::FirKind::kFilterType; }
    // The band table as the engine takes it.
    dsp::FirBands BandTable() const;

    // ---- FIR tap count and band-edge estimation (app/OlvexDocFir.cpp) ---------------------------
    // The proposals after a failed design (dsp/FirDesign.h); EstimateTaps also clears
    // m_bEvenTaps.
    int EstimateTaps();
    double EstimateFc2FromFc1() const;
    double EstimateFc1FromFc2() const;
    double EstimateFc3FromFc4() const;
    double EstimateFc4FromFc3() const;

    // ---- IIR cascade design (dsp/Iir.cpp, called from app/OlvexDocAnalysis.cpp) ---------------
    // Runs the five steps of the cascade design on the stored parameters and stores their values
    // and the sections. Returns false and changes nothing when the type is unknown or the section
    // count is outside 1..8 or odd for BRF/BPF, so a count that the cascade cannot hold never
    // reaches the transformation. Returns false and keeps the previous sections when the
    // parameters give non-finite coefficients (a ripple of 0 dB).
    bool DesignIir();

    // ---- Number forms and quantization (coeffs/NumberForms*.cpp) --------------------------------
    // Fixed point with B = m_nQuantBits: the scale is S = 2^(B-1) and x stands for x*S.
    double QuantScale() const;
    double Quantize(double x) const;
    int ToFixedInteger(double x) const;
    double MaxIirCoeffMagnitude() const;
    double MaxFirCoeffMagnitude() const;

    // ---- The coefficients that leave the design -------------------------------------------------
    // The FIR (iir false) or IIR coefficients every analysis, report, file and VHDL output takes:
    // the N' taps times m_nCoeffMultiplier, or the eight sections, truncated to m_nQuantBits
    // while quantization is on (or when `quantized` says so).
    dsp::FilterCoefficients TakeCoefficients(bool iir) const;
    dsp::FilterCoefficients TakeCoefficients(bool iir, bool quantized) const;

    // ---- Frequency response, test waves, FFT (dsp/Response.cpp, Wave.cpp, Fft.cpp) --------------
    static constexpr int kResponseUsed = 360;   // points of m_aGainDb / m_aPhase written
    static constexpr int kWaveFiltered = 400;   // input samples that enter the filter
    static constexpr int kFftFirstSample = 120; // the spectrum skips the start-up transient
    // The responses of the leaving coefficients; entries 360..399 of the arrays are never written.
    void FirResponse();
    void IirResponse();
    // The sine or square test wave into m_aWaveIn; a user wave is left as loaded.
    void GenerateTestWave();
    void FilterWaveFir();
    void FilterWaveIir();
    // Spectrum of samples 120..375 of `wave` (m_aWaveIn or m_aWaveOut); samples past the end of
    // a shorter span count as 0.
    void FftSpectrum(std::span<const double> wave);

private:
    void WriteConsole(const std::string& text) const;
    // m_nFilterType and m_fs are the structure's pair: it is shown, or takes the shown pair.
    bool ShowsPairOf(int structure) const;
};
