// Fuzzes VHDL template reading and token substitution: any template, for FIR and IIR at any bit
// length, is read in pieces and substituted without leaving the document's arrays; the tap or
// section index never runs past the coefficients it takes; the leftover-token scan names only
// lines the template has.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFile.h"
#include "app/OlvexDoc.h"
#include "vhdl/VhdlText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    static COlvexDoc doc = [] {
        COlvexDoc d;
        for (int i = 0; i < COlvexDoc::kMaxFirTaps; ++i) {
            d.m_aFirCoeffs[i] = 0.5 * std::sin(0.37 * i);
        }
        for (int s = 0; s < COlvexDoc::kIirSections; ++s) {
            d.m_aA1[s] = 1.5 - 0.25 * s;
            d.m_aB1[s] = -1.75 + 0.2 * s;
            d.m_aB2[s] = 0.9;
        }
        return d;
    }();
    const bool iir = (data[0] & 1) != 0;
    const vhdl::HeaderVariant variant =
        (data[0] & 2) != 0 ? vhdl::HeaderVariant::kFile : vhdl::HeaderVariant::kDisplay;
    doc.m_nQuantBits = 4 + data[1] % 29;       // 4..32
    doc.m_nDataBits = 1 + (data[1] / 29) % 32; // 1..32
    doc.m_nTaps = 4 + data[0] % (COlvexDoc::kMaxFirTaps - 4);
    doc.m_bEvenTaps = (data[0] & 4) != 0 ? 1 : 0;
    const FuzzFile file(data + 2, size - 2);
    if (!file.Ok()) {
        return 0;
    }
    int substIndex = 0;
    std::string text;
    std::string read;
    if (vhdl::ReadTemplateText(file.Path(), read) == vhdl::TemplateStatus::kOk) {
        text = vhdl::SubstituteTemplate(doc.TakeCoefficients(iir), doc.m_nDataBits, read, variant,
                                        substIndex);
    }
    if (substIndex < 0 || substIndex > (iir ? COlvexDoc::kIirSections : COlvexDoc::kMaxFirTaps)) {
        std::abort();
    }
    // The leftover scan names lines of the template and tokens it knows.
    const std::string templateText(reinterpret_cast<const char*>(data + 2), size - 2);
    const int lines =
        1 + static_cast<int>(std::count(templateText.begin(), templateText.end(), '\n'));
    for (const vhdl::LeftoverToken& token :
         vhdl::FindLeftoverTokens(doc.TakeCoefficients(iir), doc.m_nDataBits, templateText)) {
        if (token.line < 1 || token.line > lines || token.token.empty()) {
            std::abort();
        }
    }
    return 0;
}
