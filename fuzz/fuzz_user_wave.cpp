// Fuzzes the user wave reader: any file fills at most the buffer, with finite samples only.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "FuzzFile.h"
#include "app/OlvexDoc.h"
#include "files/UserWave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzFile file(data, size);
    if (!file.Ok()) {
        return 0;
    }
    static double wave[COlvexDoc::kWaveInSamples];
    const files::UserWaveRead read = files::ReadUserWave(file.Path(), wave);
    if (!read.opened || read.count < 0 || read.count > COlvexDoc::kWaveInSamples) {
        std::abort();
    }
    for (double sample : wave) {
        if (!std::isfinite(sample)) {
            std::abort();
        }
    }
    return 0;
}
