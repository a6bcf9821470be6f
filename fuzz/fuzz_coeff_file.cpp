// Fuzzes the coefficient file reader: any bytes, read as a FIR file and as an IIR file, must
// leave the document within its arrays with finite coefficients and a tap count the arrays hold;
// a file with a fault leaves it as it was.
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
        int loadFormat = size > 0 ? data[0] % 5 : 0; // 4: a format no header names
        const int formatBefore = loadFormat;
        const int tapsBefore = doc.m_nTaps;
        const int quantizeBefore = doc.m_bQuantize;
        const files::CoeffLoad load = commands::ReadCoeffTextInto(text, doc, iir, loadFormat);
        Check(load.count >= 0 &&
              load.count <= (iir ? files::kIirFileValues : files::kMaxFirFileValues));
        Check(load.held >= load.count);
        Check(doc.m_nTaps >= 0 && doc.m_nTaps < COlvexDoc::kMaxFirTaps);
        Check(doc.m_bParseError == 0);
        if (load.Faulty()) {
            // A file with any of the reader's warnings changes nothing.
            Check(loadFormat == formatBefore && doc.m_nTaps == tapsBefore &&
                  doc.m_bQuantize == quantizeBefore);
        } else {
            Check(load.count > 0 && load.held == load.count);
            Check(doc.m_bQuantize == 0 && doc.m_nCoeffMultiplier == 1);
        }
        Check(load.badToken.size() <= 40);
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
