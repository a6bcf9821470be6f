// The exported C header, for real: compiled with gcc -Wall -Werror as C and with g++ as C++, and
// run in a plain C program that filters full-scale waves with the arithmetic of the CMSIS-DSP
// routines the header is laid out for (their generic C code):
//   arm_fir_q15: 64-bit sum of products, >> 15, saturated to 16 bits;
//   arm_fir_q31: 64-bit sum of products, >> 31, cast to 32 bits (no saturation);
//   arm_biquad_cascade_df1_q31: 64-bit sum of the five products, >> (31 - postShift), cast to
//     32 bits (no saturation), the output being the next stage's input and this one's state;
//   arm_biquad_cascade_df1_q15: 64-bit sum, >> (15 - postShift), saturated to 16 bits.
// The samples go in as plain D-bit integers and every output is saturated to D bits, as the
// header tells its reader. The integer outputs must equal the bit-true model of the generated
// hardware run on the VHDL literals of the design (never on the header's own arrays), sample for
// sample; the float form must follow the ideal wave.
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

constexpr double kAmplitude = 50.0; // the test wave's nominal amplitude
constexpr double kFloatTolerance = 2e-5;

// The filter loops. FIR_Q15, FIR_Q31, IIR_Q31 and IIR_Q15 choose the integer forms to run (the
// build fails when the header lacks one); DATA_BITS is D.
const char* const kProgram = R"(#include <stdint.h>
#include <stdio.h>
#include "filter.h"

#define MAX_SAMPLES 1024

static int64_t Saturate(int64_t v, int bits) {
    const int64_t most = ((int64_t)1 << (bits - 1)) - 1;
    return v > most ? most : v < -most - 1 ? -most - 1 : v;
}

static int64_t x[MAX_SAMPLES];
static float xf[MAX_SAMPLES];
static int64_t y[MAX_SAMPLES];
static int64_t y2[MAX_SAMPLES];
static float yf[MAX_SAMPLES];

int main(void) {
    long long value = 0;
    double real = 0.0;
    int n = 0;
    int i = 0;
    while (n < MAX_SAMPLES && scanf("%lld %lf", &value, &real) == 2) {
        x[n] = value;
        xf[n] = (float)real;
        ++n;
    }
#ifdef FILTER_NUM_TAPS
    /* pCoeffs[k] = h[N-1-k]: the newest sample meets the last element. */
    for (i = 0; i < n; ++i) {
        int64_t acc = 0;
        float accf = 0.0f;
        int k = 0;
#if defined(FIR_Q15)
        for (k = 0; k < FILTER_NUM_TAPS_Q15; ++k) {
            int j = i - (FILTER_NUM_TAPS_Q15 - 1 - k);
            acc += j >= 0 ? (int64_t)filter_taps_q15[k] * (int16_t)x[j] : 0;
        }
        y[i] = Saturate(Saturate(acc >> 15, 16), DATA_BITS);
#elif defined(FIR_Q31)
        for (k = 0; k < FILTER_NUM_TAPS; ++k) {
            int j = i - (FILTER_NUM_TAPS - 1 - k);
            acc += j >= 0 ? (int64_t)filter_taps_q31[k] * (int32_t)x[j] : 0;
        }
        y[i] = Saturate((int32_t)(acc >> 31), DATA_BITS);
#endif
        for (k = 0; k < FILTER_NUM_TAPS; ++k) {
            int j = i - (FILTER_NUM_TAPS - 1 - k);
            accf += j >= 0 ? filter_taps_f32[k] * xf[j] : 0.0f;
        }
        y2[i] = y[i];
        yf[i] = accf;
    }
#else
    for (i = 0; i < n; ++i) {
        y[i] = x[i];
        y2[i] = x[i];
        yf[i] = xf[i];
    }
    {
        int s = 0;
        for (s = 0; s < FILTER_NUM_STAGES; ++s) {
            const float* f = &filter_coeffs_f32[5 * s]; /* b0, b1, b2, a1, a2 */
            float xf1 = 0.0f, xf2 = 0.0f, yf1 = 0.0f, yf2 = 0.0f;
#ifdef IIR_Q31
            const int32_t* q = &filter_coeffs_q31[5 * s]; /* b0, b1, b2, a1, a2 */
            int32_t x1 = 0, x2 = 0, o1 = 0, o2 = 0;
#endif
#ifdef IIR_Q15
            const int16_t* h = &filter_coeffs_q15[6 * s]; /* b0, 0, b1, b2, a1, a2 */
            int16_t hx1 = 0, hx2 = 0, ho1 = 0, ho2 = 0;
#endif
            for (i = 0; i < n; ++i) {
                float outf = f[0] * yf[i] + f[1] * xf1 + f[2] * xf2 + f[3] * yf1 + f[4] * yf2;
                xf2 = xf1;
                xf1 = yf[i];
                yf2 = yf1;
                yf1 = outf;
                yf[i] = outf;
#ifdef IIR_Q31
                {
                    int32_t in = (int32_t)y[i];
                    int64_t acc = (int64_t)q[0] * in + (int64_t)q[1] * x1 + (int64_t)q[2] * x2 +
                                  (int64_t)q[3] * o1 + (int64_t)q[4] * o2;
                    int32_t out = (int32_t)(acc >> (31 - FILTER_POST_SHIFT_Q31));
                    x2 = x1;
                    x1 = in;
                    o2 = o1;
                    o1 = out;
                    y[i] = out;
                }
#endif
#ifdef IIR_Q15
                {
                    int16_t in = (int16_t)y2[i];
                    int64_t acc = (int64_t)h[0] * in + (int64_t)h[2] * hx1 + (int64_t)h[3] * hx2 +
                                  (int64_t)h[4] * ho1 + (int64_t)h[5] * ho2;
                    int16_t out = (int16_t)Saturate(acc >> (15 - FILTER_POST_SHIFT_Q15), 16);
                    hx2 = hx1;
                    hx1 = in;
                    ho2 = ho1;
                    ho1 = out;
                    y2[i] = out;
                }
#endif
            }
        }
    }
    for (i = 0; i < n; ++i) {
        y[i] = Saturate(y[i], DATA_BITS);
        y2[i] = Saturate(y2[i], DATA_BITS);
    }
#endif
    for (i = 0; i < n; ++i) {
        printf("%lld %lld %.9g\n", (long long)y[i], (long long)y2[i], yf[i]);
    }
    return 0;
}
)";

bool HaveCompilers() {
    return std::system("gcc --version >/dev/null 2>&1") == 0 &&
           std::system("g++ --version >/dev/null 2>&1") == 0;
}

struct ProgramOutput {
    std::vector<std::int64_t> first;  // the Q15 or Q31 FIR form, or the IIR Q31 form
    std::vector<std::int64_t> second; // the IIR Q15 form (FIR: the first again)
    std::vector<double> real;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Compiles the program with the header by `compiler` and runs it on the samples.
ProgramOutput CompileAndRun(const fs::path& dir, const std::string& compiler,
                            const std::string& language, const std::string& defines,
                            const std::vector<std::int64_t>& fixed,
                            const std::vector<double>& real) {
    {
        std::ofstream input(dir / "input.txt");
        input.precision(17);
        for (std::size_t i = 0; i < fixed.size(); ++i) {
            input << fixed[i] << ' ' << real[i] << '\n';
        }
    }
    const std::string binary = (dir / ("run_" + compiler)).string();
    const std::string build = compiler + " -Wall -Wextra -Werror " + defines + " -x " + language +
                              " " + (dir / "main.c").string() + " -o " + binary + " 2>" +
                              (dir / "errors.txt").string();
    ProgramOutput run;
    if (std::system(build.c_str()) != 0) {
        ADD_FAILURE() << compiler << " " << defines << " refused the header:\n"
                      << ReadAll(dir / "errors.txt") << "\n"
                      << ReadAll(dir / "filter.h");
        return run;
    }
    const std::string command =
        binary + " <" + (dir / "input.txt").string() + " >" + (dir / "output.txt").string();
    EXPECT_EQ(std::system(command.c_str()), 0) << compiler;
    std::ifstream output(dir / "output.txt");
    std::int64_t q = 0, q2 = 0;
    double f = 0.0;
    while (output >> q >> q2 >> f) {
        run.first.push_back(q);
        run.second.push_back(q2);
        run.real.push_back(f);
    }
    return run;
}

struct HeaderCase {
    const char* name;
    bool iir;
    int type;
    int bits;     // B
    int dataBits; // D
    // FIR: the taps are tilted (h[k] * (1 + k/8)) so that their order matters, as the taps of
    // a loaded coefficient file may.
    bool asymmetric;
    // The forms the header must hold (FIR_Q15, FIR_Q31, IIR_Q31, IIR_Q15).
    const char* forms;
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

struct Design {
    dsp::FilterCoefficients coefficients;
    files::ExportParameters parameters;
};

// FIR: 41 taps at fs 1000 (LPF 150/250 Hz, HPF 250/150 Hz). IIR: 4 sections, 0.3 dB (LPF 150 Hz,
// BPF 150..250 Hz).
Design Designed(const HeaderCase& param) {
    Design d;
    d.parameters.filterType = param.type;
    d.parameters.fs = 1000.0;
    const bool lowPass = param.type == support::kLowPass;
    if (param.iir) {
        const support::DesignedFilter f =
            lowPass ? support::DesignedIir(support::kLowPass, 4, 0.3, 150.0)
                    : support::DesignedIir(support::kBandPass, 4, 0.3, 150.0, 250.0);
        d.coefficients = f.Quantized(param.bits);
        d.parameters.sections = 4;
        d.parameters.rippleDb = 0.3;
        d.parameters.cutoffs = lowPass ? std::vector<double>{150.0} : std::vector{150.0, 250.0};
        return d;
    }
    const support::DesignedFilter f =
        lowPass ? support::DesignedFir(support::kLowPass, 41, 150.0, 250.0)
                : support::DesignedFir(support::kHighPass, 41, 150.0, 250.0);
    std::vector<double> taps = f.fir.taps;
    for (size_t k = 0; param.asymmetric && k < taps.size(); ++k) {
        taps[k] *= 1.0 + static_cast<double>(k) / 8.0;
    }
    d.coefficients = support::FirValue(taps, 41, 41, 1, true, param.bits);
    d.parameters.edges = {150.0, 250.0};
    d.parameters.taps = 41;
    d.parameters.rr = 10.0;
    return d;
}

// The ideal wave: the same coefficients in double precision, from rest.
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

TEST_P(CHeaderRun, IntegerFormsEqualTheHardwareAtFullScale) {
    const HeaderCase& param = GetParam();
    const Design design = Designed(param);
    const dsp::FilterCoefficients& c = design.coefficients;
    const std::optional<std::string> header =
        files::BuildExport(files::ExportFormat::kCHeader, c, design.parameters, "filter");
    ASSERT_TRUE(header);
    std::ofstream(dir / "filter.h") << *header;
    std::ofstream(dir / "main.c") << kProgram;
    std::string defines = "-DDATA_BITS=" + std::to_string(param.dataBits);
    for (std::istringstream forms(param.forms); forms.good();) {
        std::string form;
        forms >> form;
        defines += " -D" + form;
    }
    const bool iirQ15 = std::string(param.forms).find("IIR_Q15") != std::string::npos;

    // Full scale: the sine and the square test waves at their nominal amplitude.
    for (int waveType : {0, 1}) {
        std::vector<double> input(dsp::kWaveFiltered);
        dsp::GenerateTestWave(1000.0, 40.0, waveType, input);
        const std::vector<std::int64_t> fixed = vhdl::ScaleStimulus(input, param.dataBits);
        std::vector<double> unit;
        for (double value : input) {
            unit.push_back(value / kAmplitude);
        }
        // The reference: the hardware model on the VHDL literals.
        vhdl::SaturationCount saturation;
        const std::vector<std::int64_t> expected =
            c.iir
                ? vhdl::IirBitTrue(vhdl::IirLiterals(c), c.bits, param.dataBits, fixed, &saturation)
                : vhdl::FirBitTrue(vhdl::FirLiterals(c), c.bits, param.dataBits, fixed);
        for (int count : saturation.sectionOutputs) {
            ASSERT_EQ(count, 0) << "a section saturates: the comparison would not hold";
        }
        const std::vector<double> ideal = IdealOutput(c, unit);
        for (const auto& [compiler, language] : {std::pair{"gcc", "c"}, std::pair{"g++", "c++"}}) {
            const ProgramOutput run = CompileAndRun(dir, compiler, language, defines, fixed, unit);
            ASSERT_EQ(run.first.size(), fixed.size()) << compiler;
            int mismatches = 0, q15Mismatches = 0;
            double worst = 0.0;
            for (std::size_t i = 0; i < fixed.size(); ++i) {
                mismatches += run.first[i] != expected[i] ? 1 : 0;
                q15Mismatches += iirQ15 && run.second[i] != expected[i] ? 1 : 0;
                worst = std::max(worst, std::fabs(run.real[i] - ideal[i]));
            }
            EXPECT_EQ(mismatches, 0) << compiler << " wave " << waveType;
            EXPECT_EQ(q15Mismatches, 0) << compiler << " wave " << waveType << ": IIR Q15";
            EXPECT_LT(worst, kFloatTolerance) << compiler << ": float against the ideal wave";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Structures, CHeaderRun,
    ::testing::Values(
        HeaderCase{"fir_q15", false, support::kLowPass, 16, 16, false, "FIR_Q15"},
        HeaderCase{"fir_q15_asymmetric_d12", false, support::kLowPass, 16, 12, true, "FIR_Q15"},
        HeaderCase{"fir_q31_b20", false, support::kHighPass, 20, 16, true, "FIR_Q31"},
        HeaderCase{"fir_q31_b32_d24", false, support::kLowPass, 32, 24, false, "FIR_Q31"},
        HeaderCase{"iir_q31_b16", true, support::kLowPass, 16, 16, false, "IIR_Q31"},
        HeaderCase{"iir_q31_b24_bpf", true, support::kBandPass, 24, 16, false, "IIR_Q31"},
        HeaderCase{"iir_q31_q15_b12", true, support::kLowPass, 12, 12, false, "IIR_Q31 IIR_Q15"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
