// The checks and storing rules of the FIR and IIR parameter dialogs, shared by the Design
// command and the batch command line so both accept exactly the same values.
#pragma once

#include <string>
#include <vector>

#include "dsp/Warning.h"

class COlvexDoc;

namespace design {

// Templates of the warning dialogs these checks give.
constexpr int kIddWarnEdges = 220;        // "Fc1 < Fc2 < Fs/2."
constexpr int kIddWarnEdges4 = 221;       // "Fc1 < Fc2 < Fc3 < Fc4 < Fs/2."
constexpr int kIddWarnUnbalanced = 222;   // "(fc2-fc1) had better equal to (fc4-fc3). "
constexpr int kIddWarnCutoff = 223;       // "Cut off needs to be lower than"
constexpr int kIddWarnIirSections = 224;  // "2, 4, 6 or 8."

bool IsThreeBand(int type);

// FIR band edges: fc1 < fc2 < fs/2 (LPF, HPF) or fc1 < fc2 < fc3 < fc4 < fs/2 (BRF, BPF).
// Returns false and fills the warning when the edges are refused.
bool CheckFirEdges(int type, double fs, double fc1, double fc2, double fc3, double fc4,
                   Warning& warning);

// BRF/BPF: transition bands of very different widths give a poor design. Returns true (and the
// warning) when (fc2 - fc1) / (fc4 - fc3) is at least 1.5 or at most 0.67.
bool FirBandsUnbalanced(double fc1, double fc2, double fc3, double fc4, Warning& warning);

// Stores an entered tap count: HPF and BRF are designed with an odd count, so an even N is
// stored as N - 1 with m_bEvenTaps set.
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
// Values outside them give no filter (or a meaningless one: poles outside the unit circle, NaN samples), so the dialogs and the command
// line refuse them with the standard range messages. Each check returns the message, or an empty
// string when the value is accepted; NaN is always refused.
constexpr double kMaxSamplingFrequency = 1e12; // Hz; also the highest test wave frequency
constexpr double kMaxRippleDb = 20.0;
constexpr int kMinMultiplier = 1;
constexpr const char* kGreaterThanZeroMessage = "Please enter a number greater than 0.";

// "Please enter a number between LOW and HIGH.", the bounds as a dialog edit shows them.
std::string NumberRangeMessage(double low, double high);

std::string CheckSamplingFrequency(double fs); // 0 < fs <= 1e12
// Only the lower bound of a band frequency: 0 < f. The upper bound and the order of the edges
// are the parameter dialogs' own warnings (CheckFirEdges, CheckIirParameters).
std::string CheckLowerBandFrequency(double frequency, double fs);
std::string CheckRipple(double rippleDb);         // 0 < ripple <= 20 dB
std::string CheckWaveFrequency(double frequency); // 0 < f <= 1e12
bool PositiveFinite(double value);                // RR, the display ranges

// Which field of a parameter dialog a refusal belongs to.
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
    kFieldTaps,      // the FIR tap count, 4..380
    kFieldSections,  // the IIR section count, 1..8 or 2..8
    kFieldQuantBits, // the quantization bit length, 4..32
    kFieldDataBits,  // the VHDL data bit length, 4..24
    kFieldGainRange, // F-Response
    kFieldMagRange,  // In/Out Wave and FFT Analysis
    kFieldWaveFreq,  // In/Out Wave
    kFieldZoom,      // the 1x/10x choice of an analysis dialog, 0..1
    kFieldStartPos,  // the start slider of an analysis dialog, 0..100
};
// The field's short name ("fs", "fc1", "taps", "data-bits", ...), for one-line reports.
const char* FieldName(int field);

// The range checks of a FIR parameter dialog (fs, the edges of the type, RR, the multiplier), in
// that order: the first refusal's message and field, or an empty message.
std::string CheckFirDialogValues(int type, double fs, const double (&fc)[4], double rr,
                                 int multiplier, int& failedField);
// The range checks of an IIR parameter dialog (ripple, fs, the cut-off edges).
std::string CheckIirDialogValues(int type, double rippleDb, double fc1, double fc2, double fs,
                                 int& failedField);

} // namespace design

namespace design {

// ---- The VHDL data bit length and the zoom/start of the analysis dialogs ----
constexpr int kMinDataBits = 4;
constexpr int kMaxDataBits = 24;
constexpr int kMaxZoom = 1;       // 0 1x, 1 10x
constexpr int kMaxStartPos = 100; // the start slider

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

} // namespace design
