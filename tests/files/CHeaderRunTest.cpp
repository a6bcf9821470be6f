// The exported C header, for real: compiled with gcc -Wall -Werror as C and with g++ as C++, and
// run in a plain C program that filters the test wave the way CMSIS-DSP does (arm_fir_q15 and
// arm_biquad_cascade_df1_q15 arithmetic: 64-bit accumulator, arithmetic shift, 16-bit
// saturation; the float loops in float). The Q15 output must equal the bit-true model of the
// hardware at B = 16, D = 16 sample for sample; the float output must follow the ideal wave.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dsp/Wave.h"
#include "files/Export.h"
#include "tests/support/DesignedFilters.h"
#include "tests/support/ScratchFolder.h"
#include "vhdl/BitTrueModel.h"

namespace {

namespace fs = std::filesystem;

constexpr int kBits = 16;
constexpr int kDataBits = 16;
constexpr double kAmplitude = 50.0; // the test wave's nominal amplitude
constexpr double kFloatTolerance = 1e-5;

// The filter loops; ID and MACRO stand for the header's identifier and macro base.
const char* const kProgram = R"(#include <stdint.h>
#include <stdio.h>
#include "filter.h"

#define MAX_SAMPLES 1024

static int16_t Saturate16(int64_t v) {
    return (int16_t)(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
}

int main(void) {
    static int16_t x[MAX_SAMPLES];
    static float xf[MAX_SAMPLES];
    static int16_t y[MAX_SAMPLES];
    static float yf[MAX_SAMPLES];
    long value = 0;
    double real = 0.0;
    int n = 0;
    int i = 0;
    while (n < MAX_SAMPLES && scanf("%ld %lf", &value, &real) == 2) {
        x[n] = (int16_t)value;
        xf[n] = (float)real;
        ++n;
    }
#ifdef MACRO_NUM_TAPS
    /* pCoeffs[k] = h[N-1-k]: the newest sample meets the last element. */
    for (i = 0; i < n; ++i) {
        int64_t acc = 0;
        float accf = 0.0f;
        int k = 0;
        for (k = 0; k < MACRO_NUM_TAPS_Q15; ++k) {
            int j = i - (MACRO_NUM_TAPS_Q15 - 1 - k);
            acc += j >= 0 ? (int64_t)ID_taps_q15[k] * x[j] : 0;
        }
        for (k = 0; k < MACRO_NUM_TAPS; ++k) {
            int j = i - (MACRO_NUM_TAPS - 1 - k);
            accf += j >= 0 ? ID_taps_f32[k] * xf[j] : 0.0f;
        }
        y[i] = Saturate16(acc >> 15);
        yf[i] = accf;
    }
#else
    for (i = 0; i < n; ++i) {
        y[i] = x[i];
        yf[i] = xf[i];
    }
    {
        int s = 0;
        for (s = 0; s < MACRO_NUM_STAGES; ++s) {
            const int16_t* q = &ID_coeffs_q15[6 * s]; /* b0, 0, b1, b2, a1, a2 */
            const float* f = &ID_coeffs_f32[5 * s];   /* b0, b1, b2, a1, a2 */
            int16_t x1 = 0, x2 = 0, y1 = 0, y2 = 0;
            float xf1 = 0.0f, xf2 = 0.0f, yf1 = 0.0f, yf2 = 0.0f;
            for (i = 0; i < n; ++i) {
                int64_t acc = (int64_t)q[0] * y[i] + (int64_t)q[2] * x1 + (int64_t)q[3] * x2 +
                              (int64_t)q[4] * y1 + (int64_t)q[5] * y2;
                int16_t out = Saturate16(acc >> (15 - MACRO_POST_SHIFT_Q15));
                float outf = f[0] * yf[i] + f[1] * xf1 + f[2] * xf2 + f[3] * yf1 + f[4] * yf2;
                x2 = x1;
                x1 = y[i];
                y2 = y1;
                y1 = out;
                xf2 = xf1;
                xf1 = yf[i];
                yf2 = yf1;
                yf1 = outf;
                y[i] = out;
                yf[i] = outf;
            }
        }
    }
#endif
    for (i = 0; i < n; ++i) {
        printf("%d %.9g\n", y[i], yf[i]);
    }
    return 0;
}
)";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

bool HaveCompilers() {
    return std::system("gcc --version >/dev/null 2>&1") == 0 &&
           std::system("g++ --version >/dev/null 2>&1") == 0;
}

struct ProgramOutput {
    std::vector<std::int64_t> fixed;
    std::vector<double> real;
};

// Compiles the program with the header by `compiler` and runs it on the samples.
ProgramOutput CompileAndRun(const fs::path& dir, const std::string& compiler,
                            const std::string& language, const std::vector<std::int64_t>& fixed,
                            const std::vector<double>& real) {
    {
        std::ofstream input(dir / "input.txt");
        for (std::size_t i = 0; i < fixed.size(); ++i) {
            input << fixed[i] << ' ' << real[i] << '\n';
        }
    }
    const std::string binary = (dir / ("run_" + compiler)).string();
    const std::string build = compiler + " -Wall -Wextra -Werror -x " + language + " " +
                              (dir / "main.c").string() + " -o " + binary + " 2>" +
                              (dir / "errors.txt").string();
    ProgramOutput run;
    if (std::system(build.c_str()) != 0) {
        std::ifstream errors(dir / "errors.txt");
        std::ostringstream text;
        text << errors.rdbuf();
        ADD_FAILURE() << compiler << " refused the header:\n" << text.str();
        return run;
    }
    const std::string command =
        binary + " <" + (dir / "input.txt").string() + " >" + (dir / "output.txt").string();
    EXPECT_EQ(std::system(command.c_str()), 0) << compiler;
    std::ifstream output(dir / "output.txt");
    std::int64_t q = 0;
    double f = 0.0;
    while (output >> q >> f) {
        run.fixed.push_back(q);
        run.real.push_back(f);
    }
    return run;
}

struct HeaderCase {
    const char* name;
    bool iir;
    // The input's fixed-point samples are divided by this. The hardware's IIR sections carry
    // D + 4 bits, the library's stages 16: a quarter of full scale still overdrives a stage of
    // the 16-bit arithmetic at resonance, so the input leaves it the same 4 bits of headroom.
    int inputDivisor;
    // FIR: the taps are tilted (h[k] * (1 + k/8)) so that their order matters, as the taps of
    // a loaded coefficient file may.
    bool asymmetric = false;
};

class CHeaderRun : public ::testing::TestWithParam<HeaderCase> {
protected:
    void SetUp() override {
        if (!HaveCompilers()) {
            GTEST_SKIP() << "gcc or g++ is not installed";
        }
        folder = std::make_unique<support::ScratchFolder>("cheader");
        dir = folder->Path();
    }

    std::unique_ptr<support::ScratchFolder> folder; // made once the compilers are found
    fs::path dir;
};

// A design quantized to 16 bits, with the parameters its header names.
struct Design {
    dsp::FilterCoefficients coefficients;
    files::ExportParameters parameters;
};

// A 41-tap low pass (150 / 250 Hz, RR 10) or a 4-section low pass (0.3 dB, 150 Hz) at fs 1000.
Design Designed(bool iir, bool asymmetric) {
    Design d;
    d.parameters.filterType = support::kLowPass;
    d.parameters.fs = 1000.0;
    if (iir) {
        const support::DesignedFilter f = support::DesignedIir(support::kLowPass, 4, 0.3, 150.0);
        d.coefficients = f.Quantized(kBits);
        d.parameters.sections = 4;
        d.parameters.rippleDb = 0.3;
        d.parameters.cutoffs = {150.0};
        return d;
    }
    const support::DesignedFilter f =
        support::DesignedFir(support::kLowPass, 41, 150.0, 250.0, 0.0, 0.0, 10.0);
    std::vector<double> taps = f.fir.taps;
    for (size_t k = 0; asymmetric && k < taps.size(); ++k) {
        taps[k] *= 1.0 + static_cast<double>(k) / 8.0;
    }
    d.coefficients = support::FirValue(taps, 41, 41, 1, true, kBits);
    d.parameters.edges = {150.0, 250.0};
    d.parameters.taps = 41;
    d.parameters.rr = 10.0;
    return d;
}

// What the hardware computes for the exported Q15 coefficients: FIR taps are the B-bit
// literals themselves; an IIR stage's Q15 values times 2^postShift are literals at scale 2^15.
std::vector<std::int64_t> BitTrueOutput(const dsp::FilterCoefficients& c,
                                        const std::vector<std::int64_t>& input) {
    if (!c.iir) {
        return vhdl::FirBitTrue(vhdl::FirLiterals(c), kBits, kDataBits, input);
    }
    const int shift = files::BiquadPostShift(c);
    std::vector<vhdl::IirSectionLiterals> sections;
    for (const auto& stage : files::FixedBiquadStages(c, kBits - 1, shift)) {
        const std::int64_t scale = std::int64_t{1} << shift;
        sections.push_back({stage[0] * scale, stage[1] * scale, stage[2] * scale, stage[3] * scale,
                            stage[4] * scale});
    }
    return vhdl::IirBitTrue(sections, kBits, kDataBits, input);
}

// The ideal wave: the same coefficients in double precision, from rest. (In/Out Wave's own wave
// starts its IIR recursion at the third sample and leaves the last FIR sample out.)
std::vector<double> IdealOutput(const dsp::FilterCoefficients& c, const std::vector<double>& x) {
    std::vector<double> y(x.size(), 0.0);
    if (!c.iir) {
        for (std::size_t i = 0; i < x.size(); ++i) {
            for (std::size_t k = 0; k < c.taps.size() && k <= i; ++k) {
                y[i] += c.taps[k] * x[i - k];
            }
        }
        return y;
    }
    std::vector<double> u = x;
    for (const dsp::Section& s : c.DesignedSections()) {
        double u1 = 0.0, u2 = 0.0, v1 = 0.0, v2 = 0.0;
        for (std::size_t i = 0; i < u.size(); ++i) {
            const double v = s[0] * u[i] + s[1] * u1 + s[2] * u2 - s[3] * v1 - s[4] * v2;
            u2 = u1;
            u1 = u[i];
            v2 = v1;
            v1 = v;
            y[i] = v;
        }
        u = y;
    }
    return y;
}

TEST_P(CHeaderRun, Q15IsBitTrueAndFloatFollowsTheIdealWave) {
    const HeaderCase& param = GetParam();
    const Design design = Designed(param.iir, param.asymmetric);
    const dsp::FilterCoefficients& c = design.coefficients;
    const std::optional<std::string> header =
        files::BuildExport(files::ExportFormat::kCHeader, c, design.parameters, "filter");
    ASSERT_TRUE(header);
    std::ofstream(dir / "filter.h") << *header;
    std::ofstream(dir / "main.c") << Replaced(Replaced(kProgram, "MACRO_", "FILTER_"), "ID_",
                                              "filter_");

    // The test wave In/Out Wave filters by default: a 100 Hz sine at fs 1000.
    std::vector<double> input(dsp::kWaveFiltered);
    dsp::GenerateTestWave(1000.0, 100.0, 0, input);
    std::vector<std::int64_t> fixed = vhdl::ScaleStimulus(input, kDataBits);
    std::vector<double> unit;
    for (std::size_t i = 0; i < fixed.size(); ++i) {
        fixed[i] /= param.inputDivisor;
        unit.push_back(input[i] / kAmplitude);
    }
    const std::vector<std::int64_t> expected = BitTrueOutput(c, fixed);
    const std::vector<double> ideal = IdealOutput(c, unit);
    if (!param.iir) {
        // The same wave In/Out Wave shows, where it is written.
        std::vector<double> shown(dsp::kWaveFiltered);
        dsp::FilterWaveFir(c.DesignedTaps(), input, shown);
        for (std::size_t i = 0; i + 1 < dsp::kWaveFiltered; ++i) {
            ASSERT_NEAR(ideal[i] * kAmplitude, shown[i], 1e-9) << i;
        }
    }

    for (const auto& [compiler, language] : {std::pair{"gcc", "c"}, std::pair{"g++", "c++"}}) {
        const ProgramOutput run = CompileAndRun(dir, compiler, language, fixed, unit);
        ASSERT_EQ(run.fixed.size(), fixed.size()) << compiler;
        int mismatches = 0;
        double worst = 0.0;
        for (std::size_t i = 0; i < fixed.size(); ++i) {
            mismatches += run.fixed[i] != expected[i] ? 1 : 0;
            worst = std::max(worst, std::fabs(run.real[i] - ideal[i]));
        }
        EXPECT_EQ(mismatches, 0) << compiler << ": Q15 samples that differ from the model";
        EXPECT_LT(worst, kFloatTolerance) << compiler << ": float against the ideal wave";
    }
}

INSTANTIATE_TEST_SUITE_P(Structures, CHeaderRun,
                         ::testing::Values(HeaderCase{"fir", false, 1},
                                           HeaderCase{"fir_asymmetric", false, 1, true},
                                           HeaderCase{"iir", true, 1 << vhdl::kIirGuardBits}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
