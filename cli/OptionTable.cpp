// The option table of vantrel-cli. The parser accepts exactly the rows of a subcommand and
// --help prints them, so the two cannot drift apart. Defaults that the document holds are read
// from a fresh document.
#include "cli/OptionTable.h"

#include <cstdio>

#include "app/OlvexDoc.h"
#include "dsp/Measure.h"
#include "platform/DataExchange.h"

namespace cli {

namespace {

std::string Number(double value) {
    return platform::FormatDialogDouble(value);
}

std::string None(const COlvexDoc&) {
    return {};
}

const char* const kCommandNames[] = {"fir", "iir", "wave", "load"};

const char* const kCommandSummaries[] = {
    "design an equiripple FIR filter; prints its taps, one per line",
    "design a Chebyshev IIR cascade; prints its eight sections \"a0 a1 a2 b1 b2\"",
    "run the test wave through a design; prints \"index input output\" or the spectra",
    "read a coefficient file; prints its coefficients as fir or iir print them",
};

constexpr unsigned kDesigned = kCmdFir | kCmdIir;
constexpr unsigned kAll = kCmdFir | kCmdIir | kCmdWave | kCmdLoad;

} // namespace

const std::vector<OptionRow>& OptionTable() {
    static const std::vector<OptionRow> rows = {
        // ---- Design dialogs -------------------------------------------------------------
        {"file", "FILE", None, "the coefficient file to read (may also come first, without --file)",
         kCmdLoad},
        {"structure", "fir|iir", [](const COlvexDoc&) { return std::string("fir"); },
         "the structure of the form", kCmdWave | kCmdLoad},
        {"type", "lpf|hpf|brf|bpf", [](const COlvexDoc&) { return std::string("lpf"); },
         "filter type", kDesigned | kCmdWave},
        {"fs", "F", [](const COlvexDoc& d) { return Number(d.m_fs); }, "sampling frequency, Hz",
         kDesigned | kCmdWave},
        {"edges", "E1,E2[,E3,E4]",
         [](const COlvexDoc& d) {
             return Number(d.m_fc1) + "," + Number(d.m_fc2) + " (brf, bpf: " + Number(d.m_fc1) +
                    "," + Number(d.m_fc2) + "," + Number(d.m_fc3) + "," + Number(d.m_fc4) + ")";
         },
         "FIR band edges Fc1 < Fc2 [< Fc3 < Fc4] < fs/2, Hz", kCmdFir | kCmdWave},
        {"taps", "N", [](const COlvexDoc& d) { return std::to_string(d.m_nTaps); },
         "FIR tap count, 4 to 380", kCmdFir | kCmdWave},
        {"rr", "RR", [](const COlvexDoc& d) { return Number(d.m_dRR); },
         "FIR ripple ratio RR = K*(d1/d2), the stop-band weight", kCmdFir | kCmdWave},
        {"mult", "K", [](const COlvexDoc& d) { return std::to_string(d.m_nCoeffMultiplier); },
         "FIR coefficient multiplier K", kCmdFir | kCmdWave},
        {"auto", "taps|edges", [](const COlvexDoc&) { return std::string("none"); },
         "when the Remez design fails: take the proposed tap count or band edges and design "
         "again",
         kCmdFir | kCmdWave},
        {"cutoff", "FC1[,FC2]",
         [](const COlvexDoc& d) {
             return Number(d.m_dIirFc1) + " (brf, bpf: " + Number(d.m_dIirFc1) + "," +
                    Number(d.m_dIirFc2) + ")";
         },
         "IIR cut-off frequency, or the two band edges, Hz", kCmdIir | kCmdWave},
        {"sections", "n", [](const COlvexDoc& d) { return std::to_string(d.m_nIirSections); },
         "IIR second-order sections, 1 to 8 (brf, bpf: 2 to 8, even)", kCmdIir | kCmdWave},
        {"ripple", "AC", [](const COlvexDoc& d) { return Number(d.m_dRippleDb); },
         "IIR pass-band ripple, dB", kCmdIir | kCmdWave},
        // ---- Coefficients dialog ----------------------------------------------------------
        {"quantize", "B", [](const COlvexDoc&) { return std::string("off"); },
         "quantize the coefficients to B bits, 4 to 32", kAll},
        {"report", nullptr, None, "print the coefficient report of the output box instead",
         kDesigned | kCmdLoad},
        {"format", "real|bin|dec|hex", [](const COlvexDoc&) { return std::string("real"); },
         "number form of --report and --save-coeffs", kDesigned | kCmdLoad},
        // ---- Files -------------------------------------------------------------------------
        {"save-coeffs", "FILE", None, "write the coefficient file Save Coefficients writes",
         kDesigned | kCmdLoad},
        {"response", "FILE", None, "write the 360 response points \"index gain_dB phase_rad\"",
         kDesigned | kCmdLoad},
        // ---- F-Response dialog --------------------------------------------------------------
        {"gain-range", "R", [](const COlvexDoc& d) { return Number(d.m_dGainRange); },
         "F-Response: gain range of the plot, dB, above 0", kDesigned | kCmdLoad},
        {"freq-zoom", "1|10", [](const COlvexDoc&) { return std::string("1"); },
         "F-Response: frequency zoom", kDesigned | kCmdLoad},
        {"freq-start", "P", [](const COlvexDoc& d) { return std::to_string(d.m_nRespStartPos); },
         "F-Response: start frequency slider, 0 to 100", kDesigned | kCmdLoad},
        // ---- In/Out Wave dialog (and the testbench's stimulus) --------------------------------
        {"wave", "sine|square", [](const COlvexDoc&) { return std::string("sine"); },
         "test wave (fir, iir, load: the stimulus of --testbench)", kAll},
        {"freq", "F", [](const COlvexDoc& d) { return Number(d.m_dWaveFreq); },
         "test wave frequency, Hz", kAll},
        {"user", "FILE", None, "user wave: up to 700 numbers separated by white space", kAll},
        {"wave-range", "R", [](const COlvexDoc& d) { return Number(d.m_dWaveMagRange); },
         "In/Out Wave: magnitude range of the plot, above 0", kCmdWave},
        {"time-zoom", "1|10", [](const COlvexDoc&) { return std::string("1"); },
         "In/Out Wave: time zoom", kCmdWave},
        {"time-start", "P", [](const COlvexDoc& d) { return std::to_string(d.m_nWaveStartPos); },
         "In/Out Wave: start time slider, 0 to 100", kCmdWave},
        // ---- FFT Analysis dialog --------------------------------------------------------------
        {"spectrum", nullptr, None,
         "print \"bin in_mag in_phase out_mag out_phase\" of the two spectra instead", kCmdWave},
        {"mag-range", "R", [](const COlvexDoc& d) { return Number(d.m_dFftMagRange); },
         "FFT Analysis: magnitude range of the plot, dB, above 0", kCmdWave},
        {"fft-zoom", "1|10", [](const COlvexDoc&) { return std::string("1"); },
         "FFT Analysis: frequency zoom", kCmdWave},
        {"fft-start", "P", [](const COlvexDoc& d) { return std::to_string(d.m_nFftStartPos); },
         "FFT Analysis: start frequency slider, 0 to 100", kCmdWave},
        // ---- VHDL Code
        // ---------------------------------------------------------------------------
        {"vhdl", "FILE", None, "write the VHDL Save VHDL writes (needs --quantize)",
         kDesigned | kCmdLoad},
        {"testbench", "FILE", None, "write a self-checking testbench of the filter",
         kDesigned | kCmdLoad},
        {"data-bits", "D", [](const COlvexDoc& d) { return std::to_string(d.m_nDataBits); },
         "data bit length of --vhdl, --testbench and --hardware, 4 to 24", kAll},
        {"template", "PATH",
         [](const COlvexDoc&) {
             return std::string("firfilter.vhd or iirfilterN.vhd along the search path");
         },
         "the VHDL template of --vhdl", kDesigned | kCmdLoad},
        // ---- Measurements -----------------------------------------------------------------------
        {"measure", nullptr, None, "print the measured gain per band instead",
         kDesigned | kCmdLoad},
        {"advise-bits", nullptr, None, "print the advised coefficient bit length instead",
         kDesigned | kCmdLoad},
        {"tolerance", "TOL", [](const COlvexDoc&) { return Number(dsp::kDefaultToleranceDb); },
         "dB the quantized design may lose, with --advise-bits", kDesigned | kCmdLoad},
        {"hardware", nullptr, None,
         "a fourth column: the generated hardware's output (needs --quantize, --data-bits)",
         kCmdWave},
        // ---- Plot files ----------------------------------------------------------------------
        {"plot", "response|waves|spectrum", None, "draw this plot as the window does (with --out)",
         kAll},
        {"out", "FILE", None, "the plot file: .png, .svg or .pdf (the print-out)", kAll},
        {"help", nullptr, None, "print this help", kAll},
    };
    return rows;
}

unsigned CommandBitOf(const std::string& command) {
    for (unsigned i = 0; i < 4; ++i) {
        if (command == kCommandNames[i]) {
            return 1u << i;
        }
    }
    return 0;
}

std::set<std::string> ValuedOptions(unsigned command) {
    std::set<std::string> names;
    for (const OptionRow& row : OptionTable()) {
        if ((row.commands & command) != 0 && row.value != nullptr) {
            names.insert(row.name);
        }
    }
    return names;
}

std::set<std::string> FlagOptions(unsigned command) {
    std::set<std::string> names;
    for (const OptionRow& row : OptionTable()) {
        if ((row.commands & command) != 0 && row.value == nullptr) {
            names.insert(row.name);
        }
    }
    return names;
}

std::string HelpText(unsigned command) {
    const COlvexDoc fresh;
    std::string text = "usage: vantrel-cli COMMAND [OPTION VALUE | FLAG]...\n";
    for (unsigned i = 0; i < 4; ++i) {
        const unsigned bit = 1u << i;
        if (command != 0 && command != bit) {
            continue;
        }
        text += std::string("\nvantrel-cli ") + kCommandNames[i] +
                (bit == kCmdLoad ? " FILE" : "") + ": " + kCommandSummaries[i] + "\n";
        for (const OptionRow& row : OptionTable()) {
            if ((row.commands & bit) == 0) {
                continue;
            }
            std::string left = std::string("  --") + row.name;
            if (row.value != nullptr) {
                left += std::string(" ") + row.value;
            }
            char line[512];
            std::snprintf(line, sizeof line, "%-28s %s", left.c_str(), row.help);
            text += line;
            const std::string fallback = row.fallback(fresh);
            if (!fallback.empty()) {
                text += " [default: " + fallback + "]";
            }
            text += "\n";
        }
    }
    text += "\nexit status: 0 done, 2 input refused (the warning is on standard error),\n"
            "3 design failed, 4 a file or standard output not written,\n"
            "5 fir: the design ends short of the equiripple optimum (the taps are printed)\n";
    return text;
}

} // namespace cli
