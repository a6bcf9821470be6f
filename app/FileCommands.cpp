// VHDL Code and the three actions of Save/Load as plain calls. Every file goes through
// files::WriteOutputFile, so a failed save leaves the old file as it was and says why.
#include "app/Commands.h"
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "files/CoeffFile.h"
#include "files/OutputFile.h"
#include "vhdl/VhdlText.h"

namespace commands {

namespace {

Outcome WriteFile(const std::string& path, const std::string& text) {
    const files::OutputResult result = files::WriteOutputFile(path, text);
    Outcome outcome;
    outcome.kind = result.ok ? OutcomeKind::kFileWritten : OutcomeKind::kFileNotWritten;
    outcome.path = path;
    outcome.reason = result.reason;
    if (!result.ok) {
        outcome.message = path + design::kCannotBeOpened;
    }
    return outcome;
}

// The header of the variant, then the template substituted; kOk or why the template failed.
vhdl::TemplateStatus BuildVhdl(const COlvexDoc& doc, int headerStructure, bool iir,
                               vhdl::HeaderVariant variant, const std::string& templatePath,
                               int& substIndex, std::string& text) {
    substIndex = 0;
    text = vhdl::BuildVhdlHeader(variant, iir, vhdl::FormatHeaderValues(doc, headerStructure));
    return vhdl::AppendSubstitutedTemplate(doc, iir, templatePath, variant, substIndex, text);
}

} // namespace

Outcome CheckVhdlCode(const COlvexDoc& doc) {
    return doc.m_bQuantize == 0 ? Refused(design::VhdlNeedsQuantizeWarning()) : Outcome{};
}

VhdlOutcome VhdlCode(COlvexDoc& doc, const VhdlCodeRequest& request) {
    VhdlOutcome outcome;
    static_cast<Outcome&>(outcome) = CheckVhdlCode(doc);
    if (!outcome.Is(OutcomeKind::kAccepted)) {
        return outcome;
    }
    const RangeRefusal bits = design::CheckIntRange(design::kFieldDataBits, request.dataBits,
                                                    design::kMinDataBits, design::kMaxDataBits);
    if (bits.Refused()) {
        static_cast<Outcome&>(outcome) = OutOfRange(bits);
        return outcome;
    }
    doc.m_nDataBits = request.dataBits;
    if (request.templatePath.empty()) {
        return outcome; // no template was ever found or picked: the box stays empty
    }
    std::string text;
    const vhdl::TemplateStatus status =
        BuildVhdl(doc, request.headerStructure, request.iir, vhdl::HeaderVariant::kDisplay,
                  request.templatePath, outcome.substIndex, text);
    if (status != vhdl::TemplateStatus::kOk) {
        outcome.kind = OutcomeKind::kFileNotRead;
        outcome.path = request.templatePath;
        outcome.notFound = status == vhdl::TemplateStatus::kNotFound;
        outcome.reason = outcome.notFound ? "not found" : "cannot be read";
        return outcome;
    }
    outcome.text = std::move(text);
    return outcome;
}

Outcome CheckSaveCoefficients(const SaveCoefficientsRequest& request) {
    return request.coefficientsListed ? Outcome{} : Refused(design::SaveNeedsCoeffsWarning());
}

Outcome SaveCoefficients(const COlvexDoc& doc, const SaveCoefficientsRequest& request) {
    const Outcome check = CheckSaveCoefficients(request);
    if (!check.Is(OutcomeKind::kAccepted)) {
        return check;
    }
    return WriteFile(request.path, files::CoeffFileText(doc, request.iir));
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
    const files::CoeffLoad load = files::ReadCoeffFile(bytes, doc, request.iir, loadFormat);
    outcome.valuesRead = load.count;
    outcome.text = load.badToken;
    if (!load.headerFound) {
        outcome.notices.push_back(design::MissingHeaderWarning());
    } else if (load.invalidFormat) {
        outcome.notices.push_back(design::InvalidCoeffsWarning());
    }
    return outcome;
}

Outcome CheckSaveVhdl(const COlvexDoc& doc, const SaveVhdlRequest& request) {
    if (doc.m_bQuantize == 0) {
        return Refused(design::VhdlNeedsQuantizeWarning());
    }
    return request.vhdlParamsSet ? Outcome{} : Refused(design::VhdlNeedsParamsWarning());
}

VhdlOutcome SaveVhdl(const COlvexDoc& doc, const SaveVhdlRequest& request) {
    VhdlOutcome outcome;
    static_cast<Outcome&>(outcome) = CheckSaveVhdl(doc, request);
    if (!outcome.Is(OutcomeKind::kAccepted)) {
        return outcome;
    }
    // The template the last VHDL Code command located is read again; it is not searched for.
    // An IIR section count outside 1..8 has no template: the file holds the header only.
    const bool iir = request.headerStructure == 1;
    const bool sectionsKnown = doc.m_nIirSections >= 1 && doc.m_nIirSections <= 8;
    std::string text;
    if (iir && !sectionsKnown) {
        text = vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kFile, iir,
                                     vhdl::FormatHeaderValues(doc, request.headerStructure));
    } else if (BuildVhdl(doc, request.headerStructure, iir, vhdl::HeaderVariant::kFile,
                         request.templatePath, outcome.substIndex,
                         text) != vhdl::TemplateStatus::kOk) {
        outcome.kind = OutcomeKind::kFileNotWritten;
        outcome.path = request.path;
        outcome.reason = "the template " + request.templatePath + " cannot be read";
        outcome.message = request.path + design::kCannotBeOpened;
        return outcome;
    }
    static_cast<Outcome&>(outcome) = WriteFile(request.path, text);
    return outcome;
}

} // namespace commands
