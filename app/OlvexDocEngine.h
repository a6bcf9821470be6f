// The engine's value functions called with the record: each takes the fields it needs (and the
// coefficients that leave the design, COlvexDoc::TakeCoefficients) and calls the engine. The
// commands, the window and the command line call these; the engine itself never sees the
// record.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/OlvexDoc.h"
#include "coeffs/CoeffReport.h"
#include "dsp/QuantRules.h"
#include "dsp/Measure.h"
#include "dsp/MeasureReport.h"
#include "files/CoeffFile.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/HardwareWave.h"
#include "vhdl/Testbench.h"
#include "vhdl/VhdlText.h"

namespace dsp {

// The band edges of the record's FIR design (fc1..fc4) or IIR design (the cut-off edges).
BandSpec TakeBandSpec(const COlvexDoc& doc, bool iir);
std::vector<Band> MeasureBands(const COlvexDoc& doc, bool iir);
Measurements Measure(const COlvexDoc& doc, bool iir);
BitAdvice AdviseBits(const COlvexDoc& doc, bool iir, double toleranceDb);
std::string MeasurementsText(const COlvexDoc& doc, bool iir, const char* lineEnd);
std::string MeasurementsSummary(const COlvexDoc& doc, bool iir);

} // namespace dsp

namespace coeffs {

bool CheckQuantBits(const COlvexDoc& doc, bool iir, int bits, design::Warning& warning);
std::string ReportHeader(const COlvexDoc& doc);
std::string FirReportText(const COlvexDoc& doc, std::string_view lineEnd);
std::string IirReportText(const COlvexDoc& doc, std::string_view lineEnd);
// The number of tap lines a FIR report lists: N' = m_nTaps + m_bEvenTaps, within the tap array.
int ListedTapCount(const COlvexDoc& doc);

// What OK in the Coefficients dialog does with quantize flag q, bit length b and format f:
// with q set the bit length must keep the largest coefficient within 32 bits (and, for IIR,
// within 24 bits); with q clear only Real is allowed. Stores the three settings and returns
// true, or stores nothing, fills the warning (templates 136, 169, 137) and returns false.
bool StoreCoeffSettings(COlvexDoc& doc, bool iir, int quantize, int bits, int format,
                        design::Warning& warning);

} // namespace coeffs

namespace vhdl {

// The header values of the record; the type words from firIir (the form's structure choice).
HeaderValues FormatHeaderValues(const COlvexDoc& doc, int firIir);
std::string SubstituteFirLine(const COlvexDoc& doc, std::string_view line, int& substIndex);
std::string SubstituteIirLine(const COlvexDoc& doc, std::string_view line, int& substIndex);
TemplateStatus AppendSubstitutedTemplate(const COlvexDoc& doc, bool iir,
                                         const std::string& templatePath, HeaderVariant variant,
                                         int& substIndex, std::string& text);
// What Save VHDL writes (forFile true) or the output box shows (forFile false): the header of
// that variant for firIir and the record, then the template at templatePath substituted. For a
// file and an IIR section count outside 1..8 no template text follows the header. Returns false
// when the template cannot be opened or read; `text` is then unchanged.
bool BuildVhdlText(const COlvexDoc& doc, int firIir, const std::string& templatePath, bool forFile,
                   std::string& text);
std::vector<std::int64_t> FirLiterals(const COlvexDoc& doc);
std::vector<IirSectionLiterals> IirLiterals(const COlvexDoc& doc);
int CountSaturatedLiterals(const COlvexDoc& doc, bool iir);
// The record's m_aWaveIn through the hardware, against m_aWaveOut.
HardwareWave ComputeHardwareWave(const COlvexDoc& doc, bool iir, int dataBits);
std::string BuildTestbench(const COlvexDoc& doc, bool iir, int dataBits,
                           std::span<const double> wave);

} // namespace vhdl

namespace files {

// The record's coefficients in its m_nCoeffFormat.
std::string CoeffFileText(const COlvexDoc& doc, bool iir);

// Reads a coefficient file into the record: the values become the taps (m_nTaps of them, the
// multiplier 1) or the sections (the rest kept, m_nIirSections 8); quantization goes off. A file
// with any of the reader's warnings (no header, a malformed number, no values, more values than
// the structure takes) changes nothing, loadFormat included.
CoeffLoad ReadCoeffText(std::string_view text, COlvexDoc& doc, bool iir, int& loadFormat);
CoeffLoad ReadCoeffFile(const CoeffFileBytes& file, COlvexDoc& doc, bool iir, int& loadFormat);

} // namespace files
