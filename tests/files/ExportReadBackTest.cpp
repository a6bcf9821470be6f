// The exports read back by readers of their own: .coe and .mif parsed here, independently of the
// writer, must hold the literals the generated VHDL holds (taken from the VHDL substitution of
// the design, not from the exporter); the CSV and JSON read by numpy and scipy (when python3 has
// them) must give the design's values exactly and scipy's response of them must be ours.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "dsp/Response.h"
#include "files/Export.h"
#include "tests/support/DesignedFilters.h"
#include "tests/support/ScratchFolder.h"
#include "vhdl/VhdlText.h"

namespace {

namespace fs = std::filesystem;
using files::ExportFormat;

constexpr int kDataBits = 16;

// A binary literal of the VHDL, sign-extended.
std::int64_t FromBinary(const std::string& digits) {
    std::int64_t value = std::stoll(digits, nullptr, 2);
    if (digits[0] == '1') {
        value -= std::int64_t{1} << digits.size();
    }
    return value;
}

// The literals the VHDL generator writes: the FIR taps, or a0 a1 a2 -b1 -b2 per designed section
// (the template's order of its tokens).
std::vector<std::int64_t> VhdlLiterals(const dsp::FilterCoefficients& c) {
    std::vector<std::int64_t> literals;
    if (!c.iir) {
        for (int k = 0; k < c.ShownTaps(); ++k) {
            char token[16];
            std::snprintf(token, sizeof token, "reph%3d", k);
            int index = k;
            literals.push_back(FromBinary(vhdl::SubstituteFirLine(c, kDataBits, token, index)));
        }
        return literals;
    }
    for (int s = 0; s < c.designedSections; ++s) {
        int index = s;
        std::istringstream words(
            vhdl::SubstituteIirLine(c, kDataBits, "repa0 repa1 repa2 repb1 repb2", index));
        for (std::string word; words >> word;) {
            literals.push_back(FromBinary(word));
        }
    }
    return literals;
}

struct CoeFile {
    std::string radixKey, vectorKey;
    std::vector<std::int64_t> values;
};

// A .coe: ';' starts a comment line; "key=value;" pairs, the last one's value a list of
// comma-separated decimals that ends in ';'.
std::optional<CoeFile> ReadCoe(const std::string& text) {
    CoeFile coe;
    std::istringstream lines(text);
    std::string body;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] != ';') {
            body += line + " ";
        }
    }
    std::size_t at = 0;
    while (at < body.size()) {
        const std::size_t equals = body.find('=', at);
        const std::size_t end = body.find(';', at);
        if (equals == std::string::npos || end == std::string::npos || end < equals) {
            break;
        }
        std::string key = body.substr(at, equals - at);
        key.erase(0, key.find_first_not_of(' '));
        const std::string value = body.substr(equals + 1, end - equals - 1);
        if (key.find("radix") != std::string::npos) {
            if (std::stoi(value) != 10) {
                return std::nullopt;
            }
            coe.radixKey = key;
        } else {
            coe.vectorKey = key;
            std::istringstream items(value);
            for (std::string item; std::getline(items, item, ',');) {
                coe.values.push_back(std::stoll(item));
            }
        }
        at = end + 1;
    }
    return coe;
}

struct MifFile {
    int width = 0, depth = 0;
    std::vector<std::int64_t> words; // sign-extended from WIDTH bits
};

// A .mif with DATA_RADIX=HEX and "address : word;" lines; "--" starts a comment.
MifFile ReadMif(const std::string& text) {
    MifFile mif;
    std::istringstream lines(text);
    bool content = false;
    for (std::string line; std::getline(lines, line);) {
        line = line.substr(0, line.find("--"));
        if (line.rfind("WIDTH=", 0) == 0) {
            mif.width = std::stoi(line.substr(6));
        } else if (line.rfind("DEPTH=", 0) == 0) {
            mif.depth = std::stoi(line.substr(6));
        } else if (line.find("CONTENT BEGIN") != std::string::npos) {
            content = true;
        } else if (content && line.find(':') != std::string::npos) {
            const std::size_t colon = line.find(':');
            EXPECT_EQ(std::stoi(line.substr(0, colon)), static_cast<int>(mif.words.size()));
            std::int64_t word = std::stoll(line.substr(colon + 1), nullptr, 16);
            if (((word >> (mif.width - 1)) & 1) != 0) {
                word -= std::int64_t{1} << mif.width;
            }
            mif.words.push_back(word);
        }
    }
    return mif;
}

struct ReadBackCase {
    const char* name;
    dsp::FilterCoefficients c;
};

// FIR with K = 2 and an even HPF count (a zero tap listed after the design's), IIR low pass and
// band pass, and a section whose 1.0 literal saturates (B = 8: a1 = 2 needs 10 bits).
std::vector<ReadBackCase> ReadBackCases() {
    const support::DesignedFilter lowFir =
        support::DesignedFir(support::kLowPass, 31, 150.0, 250.0);
    const support::DesignedFilter highFir =
        support::DesignedFir(support::kHighPass, 40, 150.0, 250.0);
    const support::DesignedFilter lowIir = support::DesignedIir(support::kLowPass, 4, 0.3, 150.0);
    const support::DesignedFilter bandIir =
        support::DesignedIir(support::kBandPass, 6, 0.5, 150.0, 250.0);
    const dsp::Section wide = {1.0, 2.0, 1.0, -1.9, 0.95};
    return {
        {"fir lpf K=2 B=12", support::FirValue(lowFir.fir.taps, 31, 31, 2, true, 12)},
        {"fir hpf 40 taps B=16", support::FirValue(highFir.fir.taps, 39, 40, 1, true, 16)},
        {"iir lpf B=16", lowIir.Quantized(16)},
        {"iir bpf B=10", bandIir.Quantized(10)},
        {"iir saturated literal B=8", dsp::IirCoefficients({&wide, 1}, 1, true, 8)},
    };
}

files::ExportParameters Parameters(bool iir) {
    files::ExportParameters p;
    p.fs = 1000.0;
    p.sections = iir ? 4 : 0;
    return p;
}

TEST(ExportReadBack, CoeAndMifHoldTheVhdlLiterals) {
    for (const ReadBackCase& test : ReadBackCases()) {
        const dsp::FilterCoefficients& c = test.c;
        const std::vector<std::int64_t> literals = VhdlLiterals(c);
        ASSERT_EQ(literals.size(),
                  c.iir ? 5u * static_cast<std::size_t>(c.designedSections) : c.taps.size())
            << test.name;
        const std::string coeText =
            files::BuildExport(ExportFormat::kCoe, c, Parameters(c.iir), "x").value_or("");
        const std::optional<CoeFile> coe = ReadCoe(coeText);
        ASSERT_TRUE(coe) << test.name << "\n" << coeText;
        // FIR: the FIR cores' coefficient file; IIR: a memory initialisation file.
        EXPECT_EQ(coe->radixKey, c.iir ? "memory_initialization_radix" : "radix") << test.name;
        EXPECT_EQ(coe->vectorKey, c.iir ? "memory_initialization_vector" : "coefdata") << test.name;
        EXPECT_EQ(coe->values, literals) << test.name << "\n" << coeText;

        const std::string mifText =
            files::BuildExport(ExportFormat::kMif, c, Parameters(c.iir), "x").value_or("");
        const MifFile mif = ReadMif(mifText);
        EXPECT_EQ(mif.width, c.LiteralWidth()) << test.name;
        EXPECT_EQ(mif.depth, static_cast<int>(literals.size())) << test.name;
        EXPECT_EQ(mif.words, literals) << test.name << "\n" << mifText;
    }
}

// A python3 with numpy and scipy (the first on PATH may lack them), or nothing.
std::optional<std::string> ScipyPython() {
    for (const char* python : {"/usr/bin/python3", "python3"}) {
        const std::string check =
            std::string(python) + " -c 'import numpy, scipy.signal' >/dev/null 2>&1";
        if (std::system(check.c_str()) == 0) {
            return python;
        }
    }
    return std::nullopt;
}

// Reads each CSV with numpy.loadtxt and each JSON with json, and writes per file: the values as
// read (one a line, %.17g; IIR rows of six) and the gain in dB at the angular frequencies of
// NAME.omega by scipy.signal.freqz / sosfreqz.
const char* const kScript = R"(import json, sys
import numpy as np
import scipy.signal as sg
for name in sys.argv[1:]:
    w = np.loadtxt(name + '.omega')
    if name.endswith('.csv'):
        data = np.loadtxt(name, delimiter=',', ndmin=2)
        iir = data.shape[1] == 6
        values = data if iir else data[:, 0]
    else:
        doc = json.load(open(name))
        iir = doc['structure'] == 'iir'
        values = np.array(doc['sos'] if iir else doc['numerator'])
        if iir:
            rows = [s['numerator'] + s['denominator'] for s in doc['sections']]
            assert np.array_equal(np.array(rows), values), 'sections differ from sos'
    if iir:
        _, h = sg.sosfreqz(values, worN=w)
    else:
        _, h = sg.freqz(values, 1.0, worN=w)
    np.savetxt(name + '.values', np.ravel(values), fmt='%.17g')
    np.savetxt(name + '.gain', 20 * np.log10(np.abs(h)), fmt='%.17g')
)";

std::vector<double> ReadNumbers(const fs::path& path) {
    std::vector<double> numbers;
    std::ifstream in(path);
    for (std::string word; in >> word;) {
        numbers.push_back(std::strtod(word.c_str(), nullptr));
    }
    return numbers;
}

TEST(ExportReadBack, NumpyAndScipyReadCsvAndJson) {
    const std::optional<std::string> python = ScipyPython();
    if (!python) {
        GTEST_SKIP() << "python3 with numpy and scipy is not installed";
    }
    support::ScratchFolder folder("export-scipy");
    const fs::path& dir = folder.Path();
    const support::DesignedFilter fir =
        support::DesignedFir(support::kBandPass, 41, 100.0, 150.0, 250.0, 300.0);
    const support::DesignedFilter iir =
        support::DesignedIir(support::kBandPass, 6, 0.5, 150.0, 250.0);
    struct Case {
        const char* file;
        dsp::FilterCoefficients c;
    };
    const Case cases[] = {
        {"fir.csv", support::FirValue(fir.fir.taps, 41, 41, 3, false)},
        {"fir_q.json", support::FirValue(fir.fir.taps, 41, 41, 1, true, 12)},
        {"iir.csv", iir.unquantized},
        {"iir_q.csv", iir.Quantized(16)},
        {"iir_q.json", iir.Quantized(14)},
    };
    std::string files;
    for (const Case& c : cases) {
        const std::string name = c.file;
        const ExportFormat format =
            name.ends_with(".csv") ? ExportFormat::kCsv : ExportFormat::kJson;
        std::ofstream(dir / name) << *files::BuildExport(format, c.c, Parameters(c.c.iir), "x");
        std::ofstream omega(dir / (name + ".omega"));
        omega.precision(17);
        for (int i = 0; i < dsp::kResponseUsed; ++i) {
            omega << dsp::ResponseOmega(i, c.c.iir) << "\n";
        }
        files += " " + name;
    }
    std::ofstream(dir / "read.py") << kScript;
    const std::string command =
        "cd " + dir.string() + " && " + *python + " read.py" + files + " 2>err.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    for (const Case& c : cases) {
        // The values exactly: the taps K * h, or per section b0 b1 b2 1 a1 a2 = a0 a1 a2 1 b1 b2.
        std::vector<double> expected;
        if (c.c.iir) {
            for (const dsp::Section& s : c.c.DesignedSections()) {
                expected.insert(expected.end(), {s[0], s[1], s[2], 1.0, s[3], s[4]});
            }
        } else {
            expected = c.c.taps;
        }
        EXPECT_EQ(ReadNumbers(dir / (std::string(c.file) + ".values")), expected) << c.file;
        // scipy's response of them is ours (the IIR sign convention of the denominator).
        const std::vector<double> gain = ReadNumbers(dir / (std::string(c.file) + ".gain"));
        ASSERT_EQ(gain.size(), static_cast<std::size_t>(dsp::kResponseUsed)) << c.file;
        const dsp::Response ours = c.c.iir ? dsp::IirResponse(c.c.DesignedSections())
                                           : dsp::FirResponse(c.c.DesignedTaps());
        double worst = 0.0;
        int compared = 0;
        for (int i = 0; i < dsp::kResponseUsed; ++i) {
            if (ours.gainDb[i] > -120.0) { // deep notches are rounding noise in either
                worst = std::max(worst, std::fabs(gain[i] - ours.gainDb[i]));
                ++compared;
            }
        }
        EXPECT_GT(compared, dsp::kResponseUsed / 2) << c.file;
        // scipy and we differ in rounding only; a sign slip in a1 or a2 moves the gain by dB.
        EXPECT_LT(worst, 1e-6) << c.file;
    }
}

} // namespace
