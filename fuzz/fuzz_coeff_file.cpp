// Fuzzes Load Coefficients' readers (the coefficient file, rows of numbers, JSON, .coe, .mif):
// any bytes, read as a FIR file and as an IIR file, must leave the document within its arrays
// with finite coefficients, a tap count the arrays hold and a section count of 1 to 8; a file
// with a fault leaves it as it was.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/FileCommands.h"
#include "app/OlvexDoc.h"
#include "files/CoeffFile.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (bool iir : {false, true}) {
        static COlvexDoc doc; // kept between runs, as the window keeps its document
        int loadFormat = size > 0 ? data[0] % 5 : 0;   // 4: a format no header names
        const int bits = size > 2 ? data[2] % 40 : 16; // B for a .coe without its own, any
        const int formatBefore = loadFormat;
        const int tapsBefore = doc.m_nTaps;
        const int quantizeBefore = doc.m_bQuantize;
        const int sectionsBefore = doc.m_nIirSections;
        const int bitsBefore = doc.m_nQuantBits;
        const commands::CoefficientsRead read =
            commands::ReadCoefficientsInto(text, doc, iir, loadFormat, bits);
        const int count = read.Count();
        Check(count >= 0 && count <= (iir ? files::kIirFileValues : files::kMaxFirFileValues));
        Check(doc.m_nTaps >= 0 && doc.m_nTaps < COlvexDoc::kMaxFirTaps);
        Check(doc.m_nIirSections >= 1 && doc.m_nIirSections <= COlvexDoc::kIirSections);
        Check(doc.m_nQuantBits >= 4 && doc.m_nQuantBits <= 32);
        Check(doc.m_bParseError == 0);
        if (read.Faulty()) {
            // A file with any of the readers' warnings changes nothing.
            Check(loadFormat == formatBefore && doc.m_nTaps == tapsBefore &&
                  doc.m_bQuantize == quantizeBefore && doc.m_nIirSections == sectionsBefore &&
                  doc.m_nQuantBits == bitsBefore);
            Check(!read.Imported() || !read.imported.problem.empty());
        } else {
            Check(count > 0 && (read.Imported() || read.load.held == read.load.count));
            Check(doc.m_bQuantize == 0 && doc.m_nCoeffMultiplier == 1);
            Check(!read.Imported() || read.imported.iir == iir);
        }
        Check(read.load.badToken.size() <= 40);
        for (double h : doc.m_aFirCoeffs) {
            Check(std::isfinite(h));
        }
        for (int s = 0; s < COlvexDoc::kIirSections; ++s) {
            Check(std::isfinite(doc.m_aA0[s]) && std::isfinite(doc.m_aA1[s]) &&
                  std::isfinite(doc.m_aA2[s]) && std::isfinite(doc.m_aB1[s]) &&
                  std::isfinite(doc.m_aB2[s]));
        }
        // What was read can be written again in every format.
        doc.m_nCoeffFormat = size > 1 ? data[1] % 4 : 0;
        doc.m_bQuantize = 1;
        Check(!commands::CoeffFileTextOf(doc, iir).empty());
    }
    return 0;
}
