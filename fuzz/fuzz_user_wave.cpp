// Fuzzes the user wave reader: any file fills at most the buffer, with finite samples only; a
// file that gives no value leaves the buffer as it was, and the message matches the reading.
#include <algorithm>
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
    constexpr double kPrevious = 0.125;
    static double wave[COlvexDoc::kWaveInSamples];
    std::fill(std::begin(wave), std::end(wave), kPrevious);
    const files::UserWaveRead read = files::ReadUserWave(file.Path(), wave);
    if (!read.opened || read.count < 0 || read.count > COlvexDoc::kWaveInSamples) {
        std::abort();
    }
    // More values than the buffer holds only once it is full.
    if (read.moreValues && read.count != COlvexDoc::kWaveInSamples) {
        std::abort();
    }
    // No value at all: the previous wave stays, and the reading is not taken.
    if (read.complete && read.count == 0 &&
        (!read.Failed() ||
         std::count(std::begin(wave), std::end(wave), kPrevious) != COlvexDoc::kWaveInSamples)) {
        std::abort();
    }
    // A message for every reading that failed or was cut to the buffer, and for no other.
    const bool said = !files::DescribeUserWaveRead("w", read, std::size(wave)).empty();
    if (said != (read.Failed() || read.moreValues)) {
        std::abort();
    }
    for (double sample : wave) {
        if (!std::isfinite(sample)) {
            std::abort();
        }
    }
    return 0;
}
