// VHDL Code and the three actions of Save/Load as plain calls. Every file goes through
// files::WriteOutputFile, so a failed save leaves the old file as it was and says why.
#include "app/Commands.h"
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "app/OlvexDocEngine.h"
#include "files/CoeffFile.h"
#include "files/InputFile.h"
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
        outcome.message = files::QuotedPath(path) + design::kCannotBeOpened;
    }
    return outcome;
}

// The template's bytes: the ones this run already read, or the file's.
vhdl::TemplateStatus TemplateBytes(const std::string& path, const std::optional<std::string>& read,
                                   std::string& text, std::string& reason) {
    if (read) {
        text = *read;
        return vhdl::TemplateStatus::kOk;
    }
    return vhdl::ReadTemplateText(path, text, reason);
}

// Why a template cannot be used, for the window's message box and standard error; empty when
// the path could not be opened (no reason: the window's own texts cover that).
std::string TemplateRefusal(const std::string& path, vhdl::TemplateStatus status,
                            const std::string& reason) {
    if (status == vhdl::TemplateStatus::kOk || reason.empty()) {
        return std::string();
    }
    return files::QuotedPath(path) + " cannot be read: " + reason;
}

std::string WrongKind(const std::string& path, bool iir) {
    return files::QuotedPath(path) +
           (iir ? " is not an IIR template: it holds no IIR"
                : " is not a FIR template: it holds no FIR") +
           " coefficient token";
}

// The header of the variant, then the template substituted, and the tokens it left.
void BuildVhdl(const COlvexDoc& doc, int headerStructure, bool iir, vhdl::HeaderVariant variant,
               const std::string& templateText, VhdlOutcome& outcome, std::string& text) {
    outcome.substIndex = 0;
    const dsp::FilterCoefficients c = doc.TakeCoefficients(iir);
    text = vhdl::BuildVhdlHeader(variant, iir, vhdl::FormatHeaderValues(doc, headerStructure));
    text += vhdl::SubstituteTemplate(c, doc.m_nDataBits, templateText, variant, outcome.substIndex);
    outcome.leftovers =
        vhdl::DescribeLeftoverTokens(vhdl::FindLeftoverTokens(c, doc.m_nDataBits, templateText));
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
    std::string templateText;
    std::string reason;
    const vhdl::TemplateStatus status =
        vhdl::ReadTemplateText(request.templatePath, templateText, reason);
    if (status != vhdl::TemplateStatus::kOk) {
        outcome.kind = OutcomeKind::kFileNotRead;
        outcome.path = request.templatePath;
        outcome.notFound = status == vhdl::TemplateStatus::kNotFound;
        outcome.reason = outcome.notFound ? "not found" : "cannot be read";
        outcome.message = TemplateRefusal(request.templatePath, status, reason);
        return outcome;
    }
    if (!vhdl::TemplateFitsStructure(templateText, request.iir)) {
        outcome.kind = OutcomeKind::kFileNotRead;
        outcome.path = request.templatePath;
        outcome.reason = "not a template of the structure";
        outcome.message = WrongKind(request.templatePath, request.iir);
        return outcome;
    }
    std::string text;
    BuildVhdl(doc, request.headerStructure, request.iir, vhdl::HeaderVariant::kDisplay,
              templateText, outcome, text);
    outcome.text = std::move(text);
    outcome.templateText = std::move(templateText);
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
    // A load with any of the reader's warnings changes nothing: the design, its coefficients,
    // its settings and the load format all stay as they were.
    const files::CoeffLoad load = files::ReadCoeffFile(bytes, doc, request.iir, loadFormat);
    outcome.valuesRead = load.count;
    outcome.text = load.badToken;
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
    // The template the last VHDL Code command located (or the bytes it read in this run); it
    // is not searched for. An IIR section count outside 1..8 has no template: the file holds
    // the header only.
    const bool iir = request.headerStructure == 1;
    const bool sectionsKnown = doc.m_nIirSections >= 1 && doc.m_nIirSections <= 8;
    std::string text;
    if (iir && !sectionsKnown) {
        text = vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kFile, iir,
                                     vhdl::FormatHeaderValues(doc, request.headerStructure));
    } else {
        std::string templateText;
        std::string reason;
        const vhdl::TemplateStatus status =
            TemplateBytes(request.templatePath, request.templateText, templateText, reason);
        if (status != vhdl::TemplateStatus::kOk ||
            !vhdl::TemplateFitsStructure(templateText, iir)) {
            // Refused before anything is written.
            outcome.kind = OutcomeKind::kFileNotWritten;
            outcome.path = request.path;
            outcome.reason = status != vhdl::TemplateStatus::kOk
                                 ? "the template " + files::QuotedPath(request.templatePath) +
                                       " cannot be read" +
                                       (reason.empty() ? std::string() : ": " + reason)
                                 : WrongKind(request.templatePath, iir);
            // A template of the other structure is named as such; an unreadable one is reported
            // against the output path, as before.
            outcome.message = status == vhdl::TemplateStatus::kOk
                                  ? outcome.reason
                                  : files::QuotedPath(request.path) + design::kCannotBeOpened;
            return outcome;
        }
        BuildVhdl(doc, request.headerStructure, iir, vhdl::HeaderVariant::kFile, templateText,
                  outcome, text);
    }
    const int substIndex = outcome.substIndex;
    std::vector<std::string> leftovers = std::move(outcome.leftovers);
    static_cast<Outcome&>(outcome) = WriteFile(request.path, text);
    outcome.substIndex = substIndex;
    outcome.leftovers = std::move(leftovers);
    return outcome;
}

} // namespace commands
