// The bands a rate change folds onto the pass bands: the images k fs/M +- the pass band, clipped
// to 0..fs/2 and merged where they meet. The largest gain in them is checked against scipy's
// freqz by tools/check_aliasing.py.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dsp/Aliasing.h"

namespace {

struct Expected {
    double lo;
    double hi;
};

TEST(AliasingBands, ImagesOfEachPassBandWithinHalfTheRate) {
    const struct {
        const char* name;
        std::vector<dsp::Band> pass;
        double fs;
        int factor;
        std::vector<Expected> bands;
    } cases[] = {
        // Low pass to 40 Hz at 1000 Hz by 8: images around 125, 250, 375 and 500 Hz.
        {"lpf by 8", {{true, 0, 40}}, 1000, 8, {{85, 165}, {210, 290}, {335, 415}, {460, 500}}},
        // Around 200 and 400 Hz; 600 - 40 is past fs/2.
        {"lpf by 5", {{true, 0, 40}}, 1000, 5, {{160, 240}, {360, 440}}},
        // A pass band wider than fs/(2M): the images meet and merge into one band.
        {"lpf by 8, wide", {{true, 0, 70}}, 1000, 8, {{55, 500}}},
        // Band pass 1000..2000 at 8000 by 3: below 2666.67, and above it merged with the image
        // below 5333.33.
        {"bpf by 3",
         {{true, 1000, 2000}},
         8000,
         3,
         {{2666.6666666666665 - 2000, 2666.6666666666665 - 1000},
          {5333.333333333333 - 2000, 4000}}},
        // High pass 250..500 by 2: its image 0..250 (from 500 - 500 to 500 - 250).
        {"hpf by 2", {{true, 250, 500}}, 1000, 2, {{0, 250}}},
        // Two pass bands: every image of either, merged.
        {"brf by 4", {{true, 0, 100}, {true, 350, 500}}, 1000, 4, {{0, 500}}},
        {"single rate", {{true, 0, 40}}, 1000, 1, {}},
        {"no pass band", {}, 1000, 8, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<dsp::Band> bands = dsp::AliasingBands(c.pass, c.fs, c.factor);
        ASSERT_EQ(bands.size(), c.bands.size());
        for (size_t i = 0; i < bands.size(); ++i) {
            EXPECT_FALSE(bands[i].pass);
            EXPECT_NEAR(bands[i].lo, c.bands[i].lo, 1e-9) << i;
            EXPECT_NEAR(bands[i].hi, c.bands[i].hi, 1e-9) << i;
        }
    }
}

} // namespace
