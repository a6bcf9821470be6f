// The checks and storing rules of the dialogs: the FIR and IIR parameters, the ranges of the
// design and analysis values, the VHDL data bits, and the warnings of Save/Load and VHDL Code.
// The dialogs' checks and the commands (app/*Commands.h) both use them, so the window and the
// command line accept exactly the same values.
#pragma once

#include <string>
#include <vector>

#include "dsp/Warning.h"

class COlvexDoc;

namespace design {

// Templates of the warning dialogs these checks give.
constexpr int kIddWarnEdges = 220;       // "Fc1 < Fc2 < Fs/2."
constexpr int kIddWarnEdges4 = 221;      // "Fc1 < Fc2 < Fc3 < Fc4 < Fs/2."
constexpr int kIddWarnUnbalanced = 222;  // "(fc2-fc1) had better equal to (fc4-fc3). "
constexpr int kIddWarnCutoff = 223;      // "Cut off needs to be lower than"
constexpr int kIddWarnIirSections = 224; // "2, 4, 6 or 8."

bool IsThreeBand(int type);

// FIR band edges: fc1 < fc2 < fs/2 (LPF, HPF) or fc1 < fc2 < fc3 < fc4 < fs/2 (BRF, BPF).
// Returns false and fills the warning when the edges are refused.
bool CheckFirEdges(int type, double fs, double fc1, double fc2, double fc3, double fc4,
                   Warning& warning);

// BRF/BPF: transition bands of very different widths give a poor design. Returns true (and the
// warning) when (fc2 - fc1) / (fc4 - fc3) is at least 1.5 or at most 0.67.
bool FirBandsUnbalanced(double fc1, double fc2, double fc3, double fc4, Warning& warning);

// Stores an entered tap count: HPF and BRF, and every type designed by least squares (the
// document's m_nFirMethod), are designed with an odd count, so an even N is stored as N - 1 with
// m_bEvenTaps set.
void StoreFirTapCount(COlvexDoc& doc, int type, int nEntered);

// The tap count a FIR dialog shows for the stored design.
int ShownFirTapCount(const COlvexDoc& doc);

} // namespace design

namespace design {

// The band-edge proposal after a failed design: the stop-band edges of the type move to suit
// the current tap count, the pass-band edges stay. `adjusted[i]` marks fc(i+1) as moved.
struct EdgeProposal {
    double fc[4];
    bool adjusted[4];
};
EdgeProposal ProposeEdges(const COlvexDoc& doc, int type);

// Stores the adjusted edges of a proposal (as the user confirmed them), nothing else.
void StoreEdgeProposal(COlvexDoc& doc, const EdgeProposal& proposal);

} // namespace design

namespace design {

// ---- IIR parameter dialogs ----
// The section count range the IIR dialog of the type accepts: 1..8 (LPF, HPF) or 2..8 (BRF, BPF).
int MinIirSections(int type);
int MaxIirSections();

// The IIR checks after the range check: LPF/HPF need fc < fs/2; BRF/BPF need an even n (checked
// first) and fc1 < fc2 < fs/2. Returns false and fills the warning when refused.
bool CheckIirParameters(int type, int nSections, double fs, double fc1, double fc2,
                        Warning& warning);

// Stores accepted IIR parameters (fc2 only for BRF/BPF), sets the type and resets quantization
// to off and the format to Real, as every accepted design does.
void StoreIirParameters(COlvexDoc& doc, int type, int nSections, double rippleDb, double fc1,
                        double fc2, double fs);

} // namespace design

namespace design {

// ---- Ranges of the design and analysis values ----
// Values outside them give no filter (or a meaningless one: poles outside the unit circle, NaN
// samples), so the dialogs and the commands refuse them with the standard range messages. NaN is
// always refused.
constexpr double kMaxSamplingFrequency = 1e12; // Hz; also the highest test wave frequency
constexpr double kMaxRippleDb = 20.0;
constexpr int kMinMultiplier = 1;
// RR and the gain, magnitude and wave ranges of the plots: beyond a million RR gives a pass band
// of several dB, and a range gives axis labels wider than the plot.
constexpr double kMaxRR = 1e6;
constexpr double kMaxDisplayRange = 1e6;

// "Please enter a number above LOW and at most HIGH." (LOW is refused, HIGH accepted), the
// bounds as a dialog edit shows them.
std::string NumberRangeMessage(double low, double high);

// Which field of a dialog a refusal belongs to.
enum DialogField {
    kFieldNone,
    kFieldFs,
    kFieldFc1,
    kFieldFc2,
    kFieldFc3,
    kFieldFc4,
    kFieldRR,
    kFieldMultiplier,
    kFieldRipple,
    kFieldTaps,        // the FIR tap count, dsp::kMinDesignTaps..kMaxDesignTaps
    kFieldSections,    // the IIR section count, 1..8 or 2..8
    kFieldQuantBits,   // the quantization bit length, 4..32
    kFieldDataBits,    // the VHDL data bit length, 4..24
    kFieldGainRange,   // F-Response
    kFieldMagRange,    // In/Out Wave and FFT Analysis
    kFieldWaveFreq,    // In/Out Wave
    kFieldZoom,        // the 1x/10x choice of an analysis dialog, 0..1
    kFieldStartPos,    // the start slider of an analysis dialog, 0..100
    kFieldMultipliers, // the folded hardware's multiplier count
    kFieldClock,       // the FPGA clock the hardware runs at
    kFieldAp,          // design from requirements: the pass-band ripple, dB
    kFieldAs,          // the stop-band attenuation, dB
    kFieldStop,        // the IIR stop-band edge (the lower one for BRF/BPF)
    kFieldStop2,       // the upper IIR stop-band edge of BRF/BPF
    kFieldBeta,        // the Kaiser window's shape
};
// The field's short name ("fs", "fc1", "taps", "data-bits", ...), for one-line reports.
const char* FieldName(int field);

// A refused value: its field, the accepted limits and the standard message of the check. Numbers
// are accepted when low < value <= high, integers when low <= value <= high. An empty message
// means accepted.
struct RangeRefusal {
    int field = kFieldNone;
    double low = 0.0;
    double high = 0.0;
    std::string message;
    bool Refused() const { return !message.empty(); }
};

RangeRefusal CheckSamplingFrequency(int field, double fs); // 0 < fs <= 1e12
// Only the lower bound of a band frequency: 0 < f ("above 0 and below fs/2"). The upper bound and
// the order of the edges are the parameter dialogs' own warnings (CheckFirEdges,
// CheckIirParameters).
RangeRefusal CheckLowerBandFrequency(int field, double frequency, double fs);
RangeRefusal CheckRipple(double rippleDb);               // 0 < ripple <= 20 dB
RangeRefusal CheckWaveFrequency(double frequency);       // 0 < f <= 1e12
RangeRefusal CheckRR(double rr);                         // 0 < RR <= 1e6
RangeRefusal CheckDisplayRange(int field, double range); // gain, magnitude: 0 < range <= 1e6
// An integer field: low <= value <= high, "Please enter an integer between LOW and HIGH."
RangeRefusal CheckIntRange(int field, int value, int low, int high);

// The range checks of a FIR parameter dialog after its tap-count range (fs, the edges of the
// type, RR, the multiplier), in that order: the first refusal, or none.
RangeRefusal CheckFirDialogValues(int type, double fs, const double (&fc)[4], double rr,
                                  int multiplier);
// The range checks of an IIR parameter dialog after its section-count range (ripple, fs, the
// cut-off edges).
RangeRefusal CheckIirDialogValues(int type, double rippleDb, double fc1, double fc2, double fs);

} // namespace design

namespace design {

// ---- The VHDL data bit length and the zoom/start of the analysis dialogs ----
constexpr int kMinDataBits = 4;
constexpr int kMaxDataBits = 24;
constexpr int kMaxZoom = 1;       // 0 1x, 1 10x
constexpr int kMaxStartPos = 100; // the start slider

// ---- The hardware architecture of VHDL Code ----
// The multiplier count of the folded hardware: vhdl::kMinMultipliers..vhdl::kMaxMultipliers.
RangeRefusal CheckMultipliers(int multipliers);
// The FPGA clock, entered in MHz: 0 < clock <= kMaxClockMhz.
constexpr double kMaxClockMhz = 1000.0;
RangeRefusal CheckClockMhz(double clockMhz);

// ---- Design from requirements ----
// 0 < Ap <= 20 dB, then Ap < As <= 200 dB.
constexpr double kMaxAttenuationDb = 200.0;
RangeRefusal CheckRequirements(double apDb, double asDb);
// The IIR design method's name ("cheby1", "butter", "cheby2", "ellip", "bessel") and As of the
// methods that take it: above 0 and at most kMaxAttenuationDb.
RangeRefusal CheckIirMethodName(const std::string& name);
RangeRefusal CheckIirAttenuation(double asDb);
// The FIR design method's name ("remez", "ls", "kaiser") and the Kaiser window's beta:
// 0 <= beta <= dsp::kMaxKaiserBeta (0 is the rectangular window).
RangeRefusal CheckFirMethodName(const std::string& name);
RangeRefusal CheckKaiserBeta(double beta);
// A half-band design: a low pass of 4k + 3 taps whose pass-band edge lies below fs/4 (its stop
// band starts at fs/2 less that edge).
RangeRefusal CheckHalfband(int type, double fs, double passEdge, int taps);
// Whether the type is designed with odd tap counts only by the method.
bool FirOddTapsOnly(int type, int method);
// The FIR design method as headers and reports name it ("Least squares", "Kaiser window, beta
// 8.6"); empty for the Remez exchange, the default, and when `fir` is false.
std::string FirMethodText(const COlvexDoc& doc, bool fir);
// The IIR stop-band edges beyond the cut-offs: LPF fc1 < stop1 < fs/2, HPF 0 < stop1 < fc1,
// BPF 0 < stop1 < fc1 and fc2 < stop2 < fs/2, BRF fc1 < stop1 < stop2 < fc2 (kFieldStop or
// kFieldStop2, the open interval in low/high).
RangeRefusal CheckIirStopEdges(int type, double fs, double fc1, double fc2, double stop1,
                               double stop2);

// ---- Warnings of Save/Load and VHDL Code ----
constexpr int kIddWarnSaveNeedsCoeffs = 177;   // Save Coefficients before the report
constexpr int kIddWarnInvalidFileName = 167;   // the file to load cannot be opened
constexpr int kIddWarnVhdlNeedsQuantize = 164; // VHDL Code or Save VHDL without quantization
constexpr int kIddWarnVhdlNeedsParams = 170;   // Save VHDL before the VHDL Code command
constexpr int kIddWarnMissingHeader = 188;     // a coefficient file without its header line
constexpr int kIddWarnInvalidCoeffs = 168;     // a malformed number in a coefficient file

Warning SaveNeedsCoeffsWarning();
Warning InvalidFileNameWarning();
Warning VhdlNeedsQuantizeWarning();
Warning VhdlNeedsParamsWarning();
Warning MissingHeaderWarning();
Warning InvalidCoeffsWarning();
// .coe and .mif hold integers: an export of unquantized coefficients in them is refused.
constexpr int kIddWarnExportNeedsQuantize = 226;
Warning ExportNeedsQuantizeWarning();

// Text of the message box for an output file that cannot be written: the path, then this.
constexpr const char* kCannotBeOpened = " cannot be opened";
// The warning after an IIR design that gave no finite cascade.
constexpr const char* kIirFailedMessage = "The IIR design failed: the parameters give no finite "
                                          "filter (check the ripple, fs and the cut-off "
                                          "frequencies).";

} // namespace design
