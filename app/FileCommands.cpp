// Save/Load of the coefficients as plain calls, and the coefficient file of the record. Every
// file goes through files::WriteOutputFile, so a failed save leaves the old file as it was and
// says why.
#include "app/FileCommands.h"

#include <algorithm>
#include <iterator>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "dsp/FirMethods.h"
#include "files/CoeffFile.h"
#include "files/InputFile.h"

namespace commands {

namespace {

// A load that fits and has no fault: the values replace the coefficients.
// Loaded coefficients come from no design method: the files, headers and reports made of them
// name none.
void ForgetDesignMethod(COlvexDoc& doc, bool iir) {
    if (iir) {
        doc.m_nIirMethod = dsp::kIirCheby1;
    } else {
        doc.m_nFirMethod = dsp::kFirRemez;
        doc.m_nFirKind = static_cast<int>(dsp::FirKind::kFilterType);
    }
}

void StoreLoad(const files::CoeffLoad& load, COlvexDoc& doc, bool iir) {
    doc.ShowStructure(iir ? 1 : 0);
    doc.NoteStructureMade();
    ForgetDesignMethod(doc, iir);
    // The file holds K * h, so the loaded taps stand with the multiplier 1.
    doc.m_nCoeffMultiplier = 1;
    doc.m_bQuantize = 0;
    doc.m_bParseError = 0;
    if (!iir) {
        std::fill(std::begin(doc.m_aFirCoeffs), std::end(doc.m_aFirCoeffs), 0.0);
    }
    double* const fields[dsp::kSectionFields] = {doc.m_aA0, doc.m_aA1, doc.m_aA2, doc.m_aB1,
                                                 doc.m_aB2};
    const int cap = iir ? files::kIirFileValues : files::kMaxFirFileValues;
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

// A file of another kind that loads: its values replace the coefficients of the structure.
void StoreImport(const files::ImportedCoefficients& in, COlvexDoc& doc) {
    doc.ShowStructure(in.iir ? 1 : 0);
    doc.NoteStructureMade();
    ForgetDesignMethod(doc, in.iir);
    doc.m_nCoeffMultiplier = 1;
    doc.m_bQuantize = 0;
    doc.m_bParseError = 0;
    if (!in.iir) {
        std::fill(std::begin(doc.m_aFirCoeffs), std::end(doc.m_aFirCoeffs), 0.0);
        const size_t count =
            std::min(in.taps.size(), static_cast<size_t>(files::kMaxFirFileValues));
        std::copy_n(in.taps.begin(), count, doc.m_aFirCoeffs);
    } else {
        static constexpr dsp::Section kPassThrough = {1.0, 0.0, 0.0, 0.0, 0.0};
        double* const fields[dsp::kSectionFields] = {doc.m_aA0, doc.m_aA1, doc.m_aA2, doc.m_aB1,
                                                     doc.m_aB2};
        const size_t sections =
            std::min(in.sections.size(), static_cast<size_t>(COlvexDoc::kIirSections));
        for (size_t s = 0; s < static_cast<size_t>(COlvexDoc::kIirSections); ++s) {
            const dsp::Section& section = s < sections ? in.sections[s] : kPassThrough;
            for (size_t f = 0; f < dsp::kSectionFields; ++f) {
                fields[f][s] = section[f];
            }
        }
        doc.m_nIirSections = static_cast<int>(sections);
    }
    doc.m_nTaps = in.ValueCount();
    doc.m_bEvenTaps = 0;
    if (in.bits > 0) {
        doc.m_nQuantBits = in.bits;
    }
}

} // namespace

std::string CoeffFileTextOf(const COlvexDoc& doc, bool iir) {
    return files::CoeffFileText(doc.TakeCoefficients(iir), doc.m_nCoeffFormat);
}

files::CoeffLoad ReadCoeffTextInto(std::string_view text, COlvexDoc& doc, bool iir,
                                   int& loadFormat) {
    int format = loadFormat;
    files::CoeffLoad load = files::ParseCoeffText(text, iir, format);
    if (!load.Faulty()) {
        StoreLoad(load, doc, iir);
        loadFormat = format;
    }
    return load;
}

CoefficientsRead ReadCoefficientsInto(std::string_view text, COlvexDoc& doc, bool iir,
                                      int& loadFormat, int bits) {
    CoefficientsRead read;
    read.kind = files::DetectCoeffFileKind(text);
    if (!read.Imported()) {
        read.load = ReadCoeffTextInto(text, doc, iir, loadFormat);
        return read;
    }
    read.imported = files::ImportCoefficients(text, iir, bits);
    if (read.imported.ok) {
        StoreImport(read.imported, doc);
    }
    return read;
}

Outcome CheckSaveCoefficients(const SaveCoefficientsRequest& request) {
    return request.coefficientsListed ? Outcome{} : Refused(design::SaveNeedsCoeffsWarning());
}

Outcome SaveCoefficients(const COlvexDoc& doc, const SaveCoefficientsRequest& request) {
    const Outcome check = CheckSaveCoefficients(request);
    if (!check.Is(OutcomeKind::kAccepted)) {
        return check;
    }
    return WriteOutcomeFile(request.path, CoeffFileTextOf(doc, request.iir));
}

LoadOutcome LoadCoefficients(COlvexDoc& doc, const LoadCoefficientsRequest& request,
                             int& loadFormat) {
    LoadOutcome outcome;
    outcome.path = request.path;
    const files::CoeffFileBytes bytes = files::ReadCoeffFileBytes(request.path);
    if (!bytes.ok) {
        outcome.kind = OutcomeKind::kRefused;
        outcome.warning = design::InvalidFileNameWarning();
        outcome.reason = bytes.reason;
        return outcome;
    }
    // A load with any of the reader's warnings changes nothing: the design, its coefficients,
    // its settings and the load format all stay as they were.
    const CoefficientsRead read =
        ReadCoefficientsInto(bytes.text, doc, request.iir, loadFormat,
                             request.bits > 0 ? request.bits : doc.m_nQuantBits);
    if (read.Imported()) {
        const files::ImportedCoefficients& imported = read.imported;
        if (!imported.ok) {
            design::Warning warning = design::InvalidCoeffsWarning();
            warning.lines.insert(warning.lines.begin() + 1,
                                 files::DescribeImportProblem(request.path, imported));
            outcome.notices.push_back(std::move(warning));
            return outcome;
        }
        doc.m_bBandsKnown = 0; // a bare coefficient file brings no bands
        outcome.valuesRead = imported.ValueCount();
        outcome.readAs = imported.description;
        if (imported.bits > 0) {
            outcome.readAs +=
                "; B = " + std::to_string(imported.bits) + " from " + imported.bitsFrom;
        }
        return outcome;
    }
    const files::CoeffLoad& load = read.load;
    outcome.valuesRead = load.count;
    outcome.text = load.badToken;
    if (!load.Faulty()) {
        doc.m_bBandsKnown = 0; // a bare coefficient file brings no bands
    }
    if (!load.headerFound) {
        outcome.notices.push_back(design::MissingHeaderWarning());
    } else if (load.invalidFormat) {
        outcome.notices.push_back(design::InvalidCoeffsWarning());
    } else if (load.Faulty()) {
        // A file that does not fit the structure: the reader's warning with the counts.
        design::Warning warning = design::InvalidCoeffsWarning();
        warning.lines.insert(warning.lines.begin() + 1,
                             files::DescribeCoeffFit(request.path, load, request.iir));
        outcome.notices.push_back(std::move(warning));
    }
    return outcome;
}

} // namespace commands
