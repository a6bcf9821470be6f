// The engine's value functions called with the record.
#include "app/OlvexDocEngine.h"

#include <algorithm>
#include <iterator>

#include "resources/AnalysisResources.h"

// The generated header names the same address as the window's texts.
static_assert(std::string_view(vhdl::kWebAddress) == std::string_view(resources::kWebAddress));

namespace dsp {

BandSpec TakeBandSpec(const COlvexDoc& doc, bool iir) {
    if (iir) {
        return {doc.m_nFilterType, doc.m_fs, doc.m_dIirFc1, doc.m_dIirFc2, 0.0, 0.0};
    }
    return {doc.m_nFilterType, doc.m_fs, doc.m_fc1, doc.m_fc2, doc.m_fc3, doc.m_fc4};
}

std::vector<Band> MeasureBands(const COlvexDoc& doc, bool iir) {
    return MeasureBands(TakeBandSpec(doc, iir), doc.TakeCoefficients(iir, false));
}

Measurements Measure(const COlvexDoc& doc, bool iir) {
    const FilterCoefficients unquantized = doc.TakeCoefficients(iir, false);
    if (doc.m_bQuantize != 1) {
        return Measure(TakeBandSpec(doc, iir), unquantized, nullptr);
    }
    const FilterCoefficients quantized = doc.TakeCoefficients(iir, true);
    return Measure(TakeBandSpec(doc, iir), unquantized, &quantized);
}

BitAdvice AdviseBits(const COlvexDoc& doc, bool iir, double toleranceDb) {
    return AdviseBits(TakeBandSpec(doc, iir), doc.TakeCoefficients(iir, false), toleranceDb);
}

std::string MeasurementsText(const COlvexDoc& doc, bool iir, const char* lineEnd) {
    return MeasurementsText(Measure(doc, iir), iir, doc.m_nQuantBits, lineEnd);
}

std::string MeasurementsSummary(const COlvexDoc& doc, bool iir) {
    return MeasurementsSummary(Measure(doc, iir), doc.m_nQuantBits);
}

} // namespace dsp

namespace coeffs {

bool CheckQuantBits(const COlvexDoc& doc, bool iir, int bits, design::Warning& warning) {
    const double largest = iir ? doc.MaxIirCoeffMagnitude()
                               : doc.MaxFirCoeffMagnitude() * std::max(1, doc.m_nCoeffMultiplier);
    return CheckQuantBits(largest, iir, bits, warning);
}

std::string ReportHeader(const COlvexDoc& doc) {
    return ReportHeader(doc.m_nCoeffFormat, doc.m_nQuantBits);
}

std::string FirReportText(const COlvexDoc& doc, std::string_view lineEnd) {
    return FirReportText(doc.TakeCoefficients(false), doc.m_nCoeffFormat, lineEnd);
}

std::string IirReportText(const COlvexDoc& doc, std::string_view lineEnd) {
    return IirReportText(doc.TakeCoefficients(true), doc.m_nCoeffFormat, lineEnd);
}

int ListedTapCount(const COlvexDoc& doc) {
    return doc.TakeCoefficients(false).ShownTaps();
}

bool StoreCoeffSettings(COlvexDoc& doc, bool iir, int quantize, int bits, int format,
                        design::Warning& warning) {
    if (quantize != 0) {
        if (!CheckQuantBits(doc, iir, bits, warning)) {
            return false;
        }
        doc.m_nQuantBits = bits;
        doc.m_bQuantize = 1;
        doc.m_nCoeffFormat = KnownFormat(format);
        return true;
    }
    if (format != kFormatReal) {
        warning = {
            "Warning!", {"Enable \"Quantize\" for Bin, Dec or Hex!!"}, kIddWarnFormatNeedsQuantize};
        return false;
    }
    doc.m_nQuantBits = bits;
    doc.m_bQuantize = 0;
    doc.m_nCoeffFormat = kFormatReal;
    return true;
}

} // namespace coeffs

namespace vhdl {

HeaderValues FormatHeaderValues(const COlvexDoc& doc, int firIir) {
    return FormatHeaderValues(
        HeaderSource{firIir, doc.m_nFilterType, doc.m_nIirSections, doc.m_fs, doc.m_fc1, doc.m_fc2,
                     doc.m_fc3, doc.m_fc4, doc.m_dIirFc1, doc.m_dIirFc2,
                     doc.TakeCoefficients(false).ShownTaps(), doc.m_nQuantBits, doc.m_nDataBits});
}

std::string SubstituteFirLine(const COlvexDoc& doc, std::string_view line, int& substIndex) {
    return SubstituteFirLine(doc.TakeCoefficients(false), doc.m_nDataBits, line, substIndex);
}

std::string SubstituteIirLine(const COlvexDoc& doc, std::string_view line, int& substIndex) {
    return SubstituteIirLine(doc.TakeCoefficients(true), doc.m_nDataBits, line, substIndex);
}

TemplateStatus AppendSubstitutedTemplate(const COlvexDoc& doc, bool iir,
                                         const std::string& templatePath, HeaderVariant variant,
                                         int& substIndex, std::string& text) {
    return AppendSubstitutedTemplate(doc.TakeCoefficients(iir), doc.m_nDataBits, templatePath,
                                     variant, substIndex, text);
}

bool BuildVhdlText(const COlvexDoc& doc, int firIir, const std::string& templatePath, bool forFile,
                   std::string& text) {
    const bool iir = firIir == 1;
    const HeaderVariant variant = forFile ? HeaderVariant::kFile : HeaderVariant::kDisplay;
    std::string templateText;
    if (TemplateFollowsHeader(iir, doc.m_nIirSections, variant) &&
        ReadTemplateText(templatePath, templateText) != TemplateStatus::kOk) {
        return false;
    }
    text = BuildVhdlText(FormatHeaderValues(doc, firIir), doc.TakeCoefficients(iir),
                         doc.m_nDataBits, templateText, variant);
    return true;
}

std::vector<std::int64_t> FirLiterals(const COlvexDoc& doc) {
    return FirLiterals(doc.TakeCoefficients(false));
}

std::vector<IirSectionLiterals> IirLiterals(const COlvexDoc& doc) {
    return IirLiterals(doc.TakeCoefficients(true));
}

int CountSaturatedLiterals(const COlvexDoc& doc, bool iir) {
    return CountSaturatedLiterals(doc.TakeCoefficients(iir));
}

HardwareWave ComputeHardwareWave(const COlvexDoc& doc, bool iir, int dataBits) {
    return ComputeHardwareWave(doc.TakeCoefficients(iir), dataBits, doc.m_aWaveIn, doc.m_aWaveOut);
}

std::string BuildTestbench(const COlvexDoc& doc, bool iir, int dataBits,
                           std::span<const double> wave) {
    return BuildTestbench(doc.TakeCoefficients(iir), dataBits, wave);
}

} // namespace vhdl

namespace files {

namespace {

// A load that fits and has no fault: the values replace the coefficients.
void StoreLoad(const CoeffLoad& load, COlvexDoc& doc, bool iir) {
    // The file holds K * h, so the loaded taps stand with the multiplier 1.
    doc.m_nCoeffMultiplier = 1;
    doc.m_bQuantize = 0;
    doc.m_bParseError = 0;
    if (!iir) {
        std::fill(std::begin(doc.m_aFirCoeffs), std::end(doc.m_aFirCoeffs), 0.0);
    }
    double* const fields[dsp::kSectionFields] = {doc.m_aA0, doc.m_aA1, doc.m_aA2, doc.m_aB1,
                                                 doc.m_aB2};
    const int cap = iir ? kIirFileValues : kMaxFirFileValues;
    const int count = std::min({load.count, static_cast<int>(load.values.size()), cap});
    for (int k = 0; k < count; ++k) {
        const double value = load.values[static_cast<size_t>(k)];
        if (iir) {
            fields[k % dsp::kSectionFields][k / dsp::kSectionFields] = value;
        } else {
            doc.m_aFirCoeffs[k] = value;
        }
    }
    if (iir) {
        doc.m_nIirSections = COlvexDoc::kIirSections;
    }
    doc.m_nTaps = load.count;
    doc.m_bEvenTaps = 0;
}

} // namespace

std::string CoeffFileText(const COlvexDoc& doc, bool iir) {
    return CoeffFileText(doc.TakeCoefficients(iir), doc.m_nCoeffFormat);
}

CoeffLoad ReadCoeffText(std::string_view text, COlvexDoc& doc, bool iir, int& loadFormat) {
    int format = loadFormat;
    CoeffLoad load = ParseCoeffText(text, iir, format);
    if (!load.Faulty()) {
        StoreLoad(load, doc, iir);
        loadFormat = format;
    }
    return load;
}

CoeffLoad ReadCoeffFile(const CoeffFileBytes& file, COlvexDoc& doc, bool iir, int& loadFormat) {
    return ReadCoeffText(file.text, doc, iir, loadFormat);
}

} // namespace files
