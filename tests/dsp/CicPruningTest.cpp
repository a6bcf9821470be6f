// The pruned CIC decimator against the exact one: its outputs within the stated bound whatever
// the input, including the full-scale runs where the registers wrap.
#include "dsp/Cic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <random>
#include <vector>

namespace {

struct Case {
    int stages, rate, delay, dataBits;
};

// Random D-bit input; every other block of 3 kernel lengths held at a full-scale end, the
// largest sums either sign can reach.
std::vector<std::int64_t> Input(size_t n, size_t block, int dataBits, std::mt19937& rng) {
    const std::int64_t high = (std::int64_t{1} << (dataBits - 1)) - 1;
    std::uniform_int_distribution<std::int64_t> any(-high - 1, high);
    std::vector<std::int64_t> x(n);
    for (size_t i = 0; i < n; ++i) {
        const size_t run = (i / block) % 4;
        x[i] = run == 1 ? high : run == 3 ? -high - 1 : any(rng);
    }
    return x;
}

TEST(CicPruning, OutputWithinTheBoundOfTheExactFilter) {
    const Case cases[] = {
        {1, 2, 1, 8},   {2, 3, 2, 12},   {3, 16, 1, 12},   {4, 25, 1, 16},
        {4, 32, 1, 16}, {5, 10, 2, 24},  {6, 7, 1, 4},     {7, 64, 2, 18},
        {8, 2, 1, 10},  {8, 128, 1, 20}, {3, 1024, 1, 16}, {8, 1024, 2, 24},
    };
    std::mt19937 rng(77);
    for (const Case& c : cases) {
        dsp::CicParams exact{false, c.stages, c.rate, c.delay, c.dataBits};
        dsp::CicParams pruned = exact;
        pruned.prune = true;
        ASSERT_EQ(dsp::CicRangeError(pruned), "");
        const dsp::CicPruning pruning = dsp::PruneCic(pruned);
        ASSERT_EQ(pruning.dropped.size(), static_cast<size_t>(2 * c.stages));
        EXPECT_EQ(pruning.registerBits, dsp::DescribeCic(exact).registerBits + 1);
        EXPECT_EQ(dsp::DescribeCic(pruned).registerBits, pruning.registerBits);
        const size_t kernel = static_cast<size_t>(dsp::DescribeCic(exact).kernelLength);
        const size_t n = std::max<size_t>(12 * kernel, 4000);
        const std::vector<std::int64_t> x = Input(n, 3 * kernel, c.dataBits, rng);
        const std::vector<std::int64_t> want = dsp::RunCic(exact, x);
        const std::vector<std::int64_t> got = dsp::RunCic(pruned, x);
        ASSERT_EQ(got.size(), want.size());
        std::int64_t worst = 0;
        for (size_t m = 0; m < got.size(); ++m) {
            worst = std::max(worst, std::abs(got[m] - want[m]));
        }
        EXPECT_LE(worst, pruning.errorBound)
            << c.stages << " " << c.rate << " " << c.delay << " " << c.dataBits;
        // The pruning is worth having (the deep stages drop many bits), and it shows in the
        // outputs, so the comparison above is no formality.
        if (c.stages * c.rate >= 64) {
            const int dropped = std::accumulate(pruning.dropped.begin(), pruning.dropped.end(), 0);
            EXPECT_GT(dropped, c.stages * 4) << c.stages << " " << c.rate;
            EXPECT_GT(worst, 0) << c.stages << " " << c.rate;
        }
    }
}

// Hogenauer's own example (4 stages, decimation by 25, 16 bits in and out): the bits his
// formula drops, stage by stage.
TEST(CicPruning, PublishedExample) {
    dsp::CicParams p{false, 4, 25, 1, 16};
    p.prune = true;
    const std::vector<int> want = {1, 6, 9, 13, 14, 15, 16, 17};
    EXPECT_EQ(dsp::PruneCic(p).dropped, want);
}

TEST(CicPruning, InterpolatorRefused) {
    dsp::CicParams p{true, 4, 8, 1, 16};
    p.prune = true;
    EXPECT_NE(dsp::CicRangeError(p), "");
    EXPECT_TRUE(dsp::RunCic(p, std::vector<std::int64_t>{1, 2, 3}).empty());
}

} // namespace
