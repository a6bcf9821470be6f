#include "files/UserWave.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace files {

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
} // namespace

UserWaveRead ReadUserWave(const std::string& path, std::span<double> wave) {
    UserWaveRead result;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
    if (!file) {
        return result;
    }
    result.opened = true;
    std::fill(wave.begin(), wave.end(), 0.0);
    const size_t capacity = wave.size();
    size_t count = 0;
    for (;;) {
        if (count == capacity) {
            result.complete = true;
            break;
        }
        float value = 0.0f;
        const int read = std::fscanf(file.get(), "%f", &value);
        if (read == EOF) {
            result.complete = true;
            break;
        }
        // "%f" also takes "nan" and "inf", and an out-of-range number becomes infinite: none of
        // them is a sample a filter or a plot can use, so they end the wave like any other
        // token that is not a number.
        if (read != 1 || !std::isfinite(value)) {
            break;
        }
        wave[count++] = value;
    }
    result.count = static_cast<int>(count);
    return result;
}

} // namespace files
