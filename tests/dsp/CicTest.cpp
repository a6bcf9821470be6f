// The bit-true CIC model against the direct convolution with its kernel, and its magnitude.
#include "dsp/Cic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace {

__extension__ typedef __int128 Wide;

// h: the S-fold convolution of R*DL ones, exactly.
std::vector<Wide> Kernel(const dsp::CicParams& p) {
    std::vector<Wide> h = {1};
    const size_t box = static_cast<size_t>(p.rate * p.delay);
    for (int s = 0; s < p.stages; ++s) {
        std::vector<Wide> next(h.size() + box - 1, 0);
        for (size_t i = 0; i < h.size(); ++i) {
            for (size_t k = 0; k < box; ++k) {
                next[i + k] += h[i];
            }
        }
        h = std::move(next);
    }
    return h;
}

std::int64_t FloorDiv(Wide sum, int shift) {
    const Wide d = static_cast<Wide>(1) << shift;
    Wide q = sum / d;
    if (sum % d != 0 && sum < 0) {
        --q;
    }
    return static_cast<std::int64_t>(q);
}

// Output n of h over `u` (u[i] = 0 outside), decimated by `step`, shifted by `shift`.
std::vector<std::int64_t> Direct(const std::vector<Wide>& h, const std::vector<std::int64_t>& u,
                                 size_t count, size_t step, int shift) {
    std::vector<std::int64_t> out;
    for (size_t m = 0; m < count; ++m) {
        const size_t n = m * step;
        Wide sum = 0;
        for (size_t k = 0; k < h.size() && k <= n; ++k) {
            sum += h[k] * u[n - k];
        }
        out.push_back(FloorDiv(sum, shift));
    }
    return out;
}

// Random D-bit input, with runs at both full-scale ends so that the registers wrap.
std::vector<std::int64_t> Input(size_t n, int dataBits, std::mt19937& rng) {
    const std::int64_t high = (std::int64_t{1} << (dataBits - 1)) - 1;
    std::uniform_int_distribution<std::int64_t> any(-high - 1, high);
    std::vector<std::int64_t> x(n);
    for (size_t i = 0; i < n; ++i) {
        const size_t run = i * 4 / n;
        x[i] = run == 1 ? high : run == 2 ? -high - 1 : any(rng);
    }
    return x;
}

struct Case {
    int stages, rate, delay, dataBits;
};

const Case kCases[] = {
    {1, 2, 1, 4},     {1, 2, 2, 24},    {2, 3, 1, 12},   {3, 5, 2, 8},    {4, 8, 1, 16},
    {4, 32, 1, 16},   {5, 7, 2, 10},    {6, 16, 2, 24},  {8, 2, 1, 4},    {8, 13, 2, 24},
    {8, 1024, 2, 24}, {3, 1000, 1, 14}, {2, 1024, 1, 5}, {7, 100, 2, 18},
};

TEST(Cic, DecimatorIsTheKernelDecimated) {
    std::mt19937 rng(35);
    for (const Case& c : kCases) {
        const dsp::CicParams p{false, c.stages, c.rate, c.delay, c.dataBits};
        ASSERT_EQ(dsp::CicRangeError(p), "");
        const std::vector<Wide> h = Kernel(p);
        const dsp::CicStructure s = dsp::DescribeCic(p);
        EXPECT_EQ(s.kernelLength, static_cast<int>(h.size()));
        // Sized for about 40 outputs, past the kernel's length.
        const size_t n = static_cast<size_t>(c.rate) * 40 + 3;
        const std::vector<std::int64_t> x = Input(n, c.dataBits, rng);
        const std::vector<std::int64_t> got = dsp::RunCic(p, x);
        const size_t count = (n + static_cast<size_t>(c.rate) - 1) / static_cast<size_t>(c.rate);
        EXPECT_EQ(got, Direct(h, x, count, static_cast<size_t>(c.rate), s.growth))
            << c.stages << " " << c.rate << " " << c.delay << " " << c.dataBits;
    }
}

TEST(Cic, InterpolatorIsTheZeroStuffedInputFiltered) {
    std::mt19937 rng(36);
    for (const Case& c : kCases) {
        const dsp::CicParams p{true, c.stages, c.rate, c.delay, c.dataBits};
        const std::vector<Wide> h = Kernel(p);
        const dsp::CicStructure s = dsp::DescribeCic(p);
        const size_t n = 30;
        const std::vector<std::int64_t> x = Input(n, c.dataBits, rng);
        // u[j] = x[j / R] where R divides j, else 0: only the input samples enter the sums.
        const size_t rate = static_cast<size_t>(c.rate);
        std::vector<std::int64_t> want;
        for (size_t out = 0; out < n * rate; ++out) {
            Wide sum = 0;
            for (size_t i = 0; i <= out / rate; ++i) {
                const size_t k = out - i * rate;
                sum += k < h.size() ? h[k] * x[i] : 0;
            }
            want.push_back(FloorDiv(sum, s.growth));
        }
        EXPECT_EQ(dsp::RunCic(p, x), want)
            << c.stages << " " << c.rate << " " << c.delay << " " << c.dataBits;
    }
}

// Growth, width and gain: the shift keeps the top D bits, so a full-scale negative step comes
// out at -2^(D-1) exactly when the kernel's sum is a power of two, and never beyond D bits.
TEST(Cic, StructureAndFullScale) {
    struct Row {
        bool interpolate;
        int stages, rate, delay, dataBits;
        int growth;
        double gain;
    };
    const Row rows[] = {
        {false, 4, 32, 1, 16, 20, 1.0},        {false, 3, 5, 1, 12, 7, 125.0 / 128.0},
        {false, 8, 1024, 2, 24, 88, 1.0},      {false, 1, 3, 2, 8, 3, 6.0 / 8.0},
        {true, 1, 8, 1, 16, 0, 1.0},           {true, 4, 32, 1, 16, 15, 1.0},
        {true, 3, 5, 2, 10, 8, 200.0 / 256.0}, {true, 8, 1024, 2, 24, 78, 1.0},
    };
    for (const Row& r : rows) {
        const dsp::CicParams p{r.interpolate, r.stages, r.rate, r.delay, r.dataBits};
        const dsp::CicStructure s = dsp::DescribeCic(p);
        EXPECT_EQ(s.growth, r.growth) << r.stages << " " << r.rate;
        EXPECT_EQ(s.registerBits, r.dataBits + r.growth);
        EXPECT_DOUBLE_EQ(s.gain, r.gain);
        const std::int64_t low = -(std::int64_t{1} << (r.dataBits - 1));
        // Long enough for the kernel to cover it: the last output is the steady state.
        const int length = r.interpolate ? r.stages * r.delay + 1 : r.rate * r.stages * r.delay + 1;
        const std::vector<std::int64_t> step(static_cast<size_t>(length), low);
        const std::vector<std::int64_t> y = dsp::RunCic(p, step);
        ASSERT_FALSE(y.empty());
        EXPECT_EQ(y.back(),
                  static_cast<std::int64_t>(std::floor(r.gain * static_cast<double>(low))));
    }
}

TEST(Cic, RefusesOutOfRange) {
    const dsp::CicParams bad[] = {
        {false, 0, 8, 1, 16}, {false, 9, 8, 1, 16}, {false, 4, 1, 1, 16}, {false, 4, 1025, 1, 16},
        {true, 4, 8, 3, 16},  {true, 4, 8, 0, 16},  {false, 4, 8, 1, 3},  {false, 4, 8, 1, 25},
    };
    for (const dsp::CicParams& p : bad) {
        EXPECT_NE(dsp::CicRangeError(p), "");
        const std::vector<std::int64_t> x(16, 1);
        EXPECT_TRUE(dsp::RunCic(p, x).empty());
    }
    // An input beyond D bits is refused, not wrapped.
    const dsp::CicParams p{false, 2, 4, 1, 8};
    const std::vector<std::int64_t> over = {0, 128};
    EXPECT_TRUE(dsp::RunCic(p, over).empty());
}

// The magnitude against the kernel's own DFT, and the nulls at multiples of 1/(R DL).
TEST(Cic, Magnitude) {
    const dsp::CicParams p{false, 3, 10, 2, 16};
    const std::vector<Wide> h = Kernel(p);
    const double dc = std::pow(20.0, 3);
    for (double f : {0.0, 0.001, 0.013, 0.05, 0.2, 0.37, 0.5}) {
        double re = 0.0, im = 0.0;
        for (size_t k = 0; k < h.size(); ++k) {
            re += static_cast<double>(h[k]) *
                  std::cos(2 * std::numbers::pi * f * static_cast<double>(k));
            im -= static_cast<double>(h[k]) *
                  std::sin(2 * std::numbers::pi * f * static_cast<double>(k));
        }
        EXPECT_NEAR(dsp::CicMagnitude(p, f), std::hypot(re, im) / dc, 1e-9) << f;
    }
    EXPECT_LT(dsp::CicMagnitude(p, 1.0 / 20.0), 1e-12);
    // The droop at a quarter of the output band: 3 stages of sinc.
    const double f = 0.25 / 10.0 / 2.0;
    const double one = std::sin(std::numbers::pi * f * 20) / (20 * std::sin(std::numbers::pi * f));
    EXPECT_NEAR(dsp::CicMagnitudeDb(p, f), 60.0 * std::log10(one), 1e-9);
}

} // namespace
