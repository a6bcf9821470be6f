// The command line of vantrel-cli, parsed by CLI11: one subcommand per run, each with the options
// of the dialogs it fills. The parser checks only the syntax of a value (a number, an integer,
// one of a few words); the ranges, orders and parities are the commands' own checks. --help is
// drawn from the parser's own option list, so the help and the parser cannot drift apart.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "cli/PlotOptions.h"
#include "dsp/Measure.h"
#include "dsp/QuantRules.h"
#include "files/InputFile.h"
#include "files/NumberText.h"
#include "vhdl/Architecture.h"
#include "vhdl/HardwareReport.h"

namespace cli {

namespace {

// A default as --help shows it: a number as a dialog's edit shows it.
std::string Number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

// "LOW to HIGH", the range of a field as its rule has it.
std::string Range(int low, int high) {
    return std::to_string(low) + " to " + std::to_string(high);
}

// ---- Syntax of a value -----------------------------------------------------------------------
// The messages are the dialogs' own, so a malformed entry reads the same as in the window.

CLI::Validator IntegerText() {
    return CLI::Validator(
        [](std::string& text) {
            // Digits beyond the int range are an integer all the same: ReadInt gives them the
            // field's range message.
            return files::IsIntegerText(text) ? std::string() : "Please enter an integer.";
        },
        "");
}

CLI::Validator NumberText() {
    return CLI::Validator(
        [](std::string& text) {
            double value = 0.0;
            return files::ParseDouble(text, value) ? std::string() : "Please enter a number.";
        },
        "");
}

// One of a few words; `expected` names them for the refusal ("lpf, hpf, brf or bpf").
CLI::Validator OneOf(std::vector<std::string> words, std::string expected) {
    return CLI::Validator(
        [words = std::move(words), expected = std::move(expected)](std::string& text) {
            for (const std::string& word : words) {
                if (text == word) {
                    return std::string();
                }
            }
            return "expected " + expected;
        },
        "");
}

// ---- The options, grouped by the dialog they fill -------------------------------------------

// Adds the options of one subcommand; every given option lands in `args` by its name.
class OptionAdder {
public:
    OptionAdder(CLI::App& command, CliArgs& args) : m_command(command), m_args(args) {}

    // `positional`: the value may also come as a bare word ("load FILE").
    CLI::Option* Value(const std::string& name, const std::string& placeholder,
                       const std::string& fallback, const std::string& help,
                       bool positional = false) {
        CliArgs& args = m_args;
        CLI::Option* option = m_command.add_option_function<std::string>(
            "--" + name + (positional ? "," + name : ""),
            [&args, name](const std::string& value) { args.Set(name, value); }, help);
        option->type_name(placeholder);
        if (!fallback.empty()) {
            option->default_str(fallback);
        }
        return option;
    }

    void Flag(const std::string& name, const std::string& help) {
        CliArgs& args = m_args;
        m_command.add_flag_function(
            "--" + name, [&args, name](std::int64_t) { args.Set(name, "1"); }, help);
    }

private:
    CLI::App& m_command;
    CliArgs& m_args;
};

void AddStructure(OptionAdder& add) {
    add.Value("structure", "fir|iir", "fir", "the structure of the form")
        ->check(OneOf({"fir", "iir"}, "fir or iir"));
}

// `firKinds`: fir also takes a Hilbert transformer or a differentiator for --type.
void AddTypeAndFs(OptionAdder& add, const COlvexDoc& fresh, bool firKinds = false) {
    if (firKinds) {
        add.Value("type", "lpf|hpf|brf|bpf|hilbert|differentiator", "lpf",
                  "filter type; hilbert and differentiator take one band --edges F1,F2")
            ->check(OneOf({"lpf", "hpf", "brf", "bpf", "hilbert", "differentiator"},
                          "lpf, hpf, brf, bpf, hilbert or differentiator"));
    } else {
        add.Value("type", "lpf|hpf|brf|bpf", "lpf", "filter type")
            ->check(OneOf({"lpf", "hpf", "brf", "bpf"}, "lpf, hpf, brf or bpf"));
    }
    add.Value("fs", "F", Number(fresh.m_fs), "sampling frequency, Hz")->check(NumberText());
}

// --method of the FIR design, the IIR design or both (a command that designs either).
void AddMethod(OptionAdder& add, const COlvexDoc& fresh, bool fir, bool iir) {
    std::vector<std::string> names;
    if (fir) {
        names.insert(names.end(), {"remez", "ls", "kaiser", "halfband"});
    }
    if (iir) {
        names.insert(names.end(), {"cheby1", "butter", "cheby2", "ellip", "bessel"});
    }
    std::string listed;
    for (size_t i = 0; i < names.size(); ++i) {
        listed += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    }
    const std::string fallback = fir && iir
                                     ? std::string(dsp::FirMethodName(fresh.m_nFirMethod)) +
                                           " (iir: " + dsp::IirMethodName(fresh.m_nIirMethod) + ")"
                                 : fir ? std::string(dsp::FirMethodName(fresh.m_nFirMethod))
                                       : std::string(dsp::IirMethodName(fresh.m_nIirMethod));
    const std::string what = fir && iir ? "design method"
                             : fir      ? "FIR design method"
                                        : "IIR design method";
    add.Value("method", "M", fallback, what + ": " + listed)->check(OneOf(names, listed));
}

void AddFirDesign(OptionAdder& add, const COlvexDoc& fresh, bool method = true) {
    add.Value("edges", "E1,E2[,E3,E4]",
              Number(fresh.m_fc1) + "," + Number(fresh.m_fc2) +
                  " (brf, bpf: " + Number(fresh.m_fc1) + "," + Number(fresh.m_fc2) + "," +
                  Number(fresh.m_fc3) + "," + Number(fresh.m_fc4) + ")",
              "FIR band edges Fc1 < Fc2 [< Fc3 < Fc4] < fs/2, Hz");
    add.Value("taps", "N", std::to_string(fresh.m_nTaps),
              "FIR tap count, " + Range(COlvexDoc::kMinDialogTaps, COlvexDoc::kMaxDialogTaps))
        ->check(IntegerText());
    add.Value("rr", "RR", Number(fresh.m_dRR),
              "FIR ripple ratio RR = K*(d1/d2), the stop-band weight")
        ->check(NumberText());
    add.Value("mult", "K", std::to_string(fresh.m_nCoeffMultiplier), "FIR coefficient multiplier K")
        ->check(IntegerText());
    add.Value("auto", "taps|edges", "none",
              "when the Remez design fails: take the proposed tap count or band edges and "
              "design again")
        ->check(OneOf({"taps", "edges"}, "taps or edges"));
    if (method) {
        AddMethod(add, fresh, true, false);
    }
    add.Value("beta", "B", Number(fresh.m_dKaiserBeta),
              "FIR Kaiser window shape, 0 to 50 (kaiser; from requirements: Kaiser's formula)")
        ->check(NumberText());
    add.Flag("halfband",
             "FIR exact half-band low pass (--method halfband): --edges FP below fs/4, stop band "
             "from fs/2 - FP, --taps 4k+3; every second tap 0, the centre 1/2");
}

void AddIirDesign(OptionAdder& add, const COlvexDoc& fresh, bool method = true) {
    add.Value("cutoff", "FC1[,FC2]",
              Number(fresh.m_dIirFc1) + " (brf, bpf: " + Number(fresh.m_dIirFc1) + "," +
                  Number(fresh.m_dIirFc2) + ")",
              "IIR cut-off frequency, or the two band edges, Hz");
    add.Value("sections", "n", std::to_string(fresh.m_nIirSections),
              "IIR second-order sections, " +
                  Range(design::MinIirSections(kLpf), design::MaxIirSections()) + " (brf, bpf: " +
                  Range(design::MinIirSections(kBpf), design::MaxIirSections()) + ", even)")
        ->check(IntegerText());
    add.Value("ripple", "AC", Number(fresh.m_dRippleDb), "IIR pass-band ripple, dB (cheby1, ellip)")
        ->check(NumberText());
    if (method) {
        AddMethod(add, fresh, false, true);
    }
    add.Value("atten", "AS", Number(fresh.m_dIirAttenDb),
              "IIR stop-band attenuation, dB (cheby2, ellip)")
        ->check(NumberText());
}

// Design from requirements, in place of --taps/--rr (fir) or --sections/--ripple (iir).
void AddRequirements(OptionAdder& add, bool iir) {
    add.Value("ap", "DB", "",
              "design from requirements: pass-band ripple, dB, above 0 and at most 20")
        ->check(NumberText());
    add.Value("as", "DB", "", "stop-band attenuation, dB, above --ap and at most 200")
        ->check(NumberText());
    if (iir) {
        add.Value("stop", "F[,F2]", "",
                  "stop-band edge(s) beside the cut-offs, Hz (with --ap, --as)");
    }
}

void AddQuantize(OptionAdder& add) {
    add.Value("quantize", "B", "off",
              "quantize the coefficients to B bits, " +
                  Range(coeffs::kMinQuantBits, coeffs::kMaxQuantBits))
        ->check(IntegerText());
}

CLI::Validator ZoomWord() {
    return OneOf({"1", "10"}, "1 or 10");
}

// Coefficients (report and format), the two files of the coefficients, F-Response.
void AddCoefficientOutputs(OptionAdder& add, const COlvexDoc& fresh) {
    add.Flag("report", "print the coefficient report of the output box instead");
    add.Value("format", "real|bin|dec|hex", "real", "number form of --report and --save-coeffs")
        ->check(OneOf({"real", "bin", "dec", "hex"}, "real, bin, dec or hex"));
    add.Value("save-coeffs", "FILE", "", "write the coefficient file Save Coefficients writes");
    add.Value("response", "FILE", "", "write the 360 response points \"index gain_dB phase_rad\"");
    add.Value("gain-range", "R", Number(fresh.m_dGainRange),
              "F-Response: gain range of the plot, dB, above 0")
        ->check(NumberText());
    add.Value("freq-zoom", "1|10", "1", "F-Response: frequency zoom")->check(ZoomWord());
    add.Value("freq-start", "P", std::to_string(fresh.m_nRespStartPos),
              "F-Response: start frequency slider, " + Range(0, design::kMaxStartPos))
        ->check(IntegerText());
}

void AddTestWave(OptionAdder& add, const COlvexDoc& fresh) {
    add.Value("wave", "sine|square", "sine",
              "test wave (fir, iir, load: the stimulus of --testbench)")
        ->check(OneOf({"sine", "square"}, "sine or square"));
    add.Value("freq", "F", Number(fresh.m_dWaveFreq), "test wave frequency, Hz")
        ->check(NumberText());
    add.Value("user", "FILE", "", "user wave: up to 700 numbers separated by white space");
}

// In/Out Wave and FFT Analysis of wave.
void AddWaveAnalysis(OptionAdder& add, const COlvexDoc& fresh) {
    add.Value("wave-range", "R", Number(fresh.m_dWaveMagRange),
              "In/Out Wave: magnitude range of the plot, above 0")
        ->check(NumberText());
    add.Value("time-zoom", "1|10", "1", "In/Out Wave: time zoom")->check(ZoomWord());
    add.Value("time-start", "P", std::to_string(fresh.m_nWaveStartPos),
              "In/Out Wave: start time slider, " + Range(0, design::kMaxStartPos))
        ->check(IntegerText());
    add.Flag("spectrum", "print \"bin in_mag in_phase out_mag out_phase\" of the two spectra "
                         "instead");
    add.Value("mag-range", "R", Number(fresh.m_dFftMagRange),
              "FFT Analysis: magnitude range of the plot, dB, above 0")
        ->check(NumberText());
    add.Value("fft-zoom", "1|10", "1", "FFT Analysis: frequency zoom")->check(ZoomWord());
    add.Value("fft-start", "P", std::to_string(fresh.m_nFftStartPos),
              "FFT Analysis: start frequency slider, " + Range(0, design::kMaxStartPos))
        ->check(IntegerText());
}

void AddDataBits(OptionAdder& add, const COlvexDoc& fresh) {
    add.Value("data-bits", "D", std::to_string(fresh.m_nDataBits),
              "data bit length of --vhdl, --testbench and --hardware, " +
                  Range(design::kMinDataBits, design::kMaxDataBits))
        ->check(IntegerText());
}

void AddVhdl(OptionAdder& add, const COlvexDoc& fresh) {
    add.Value("vhdl", "FILE", "", "write the VHDL Save VHDL writes (needs --quantize)");
    add.Value("verilog", "FILE", "",
              "write the same filter in Verilog-2001 from the .v templates (needs --quantize)");
    add.Value("testbench", "FILE", "",
              "write a self-checking testbench of the filter: Verilog when FILE ends in .v or "
              ".sv, VHDL otherwise");
    AddDataBits(add, fresh);
    add.Value("template", "PATH", "the architecture's template along the search path",
              "the template of --vhdl, --verilog and --hw-report; its extension (.vhd, .v) "
              "says its language");
    add.Value("arch", "serial|folded|parallel|auto", "serial",
              "the hardware of --vhdl and --hw-report; auto: the cheapest that keeps up with fs "
              "at --clock")
        ->check(
            OneOf({"serial", "folded", "parallel", "auto"}, "serial, folded, parallel or auto"));
    add.Value("multipliers", "K", std::to_string(fresh.m_nVhdlMultipliers),
              "multipliers of the folded hardware, " +
                  Range(vhdl::kMinMultipliers, vhdl::kMaxMultipliers))
        ->check(IntegerText());
    add.Value("clock", "HZ", Number(fresh.m_dVhdlClockMhz * 1e6),
              "FPGA clock, Hz: Auto chooses for it, --hw-report places for it")
        ->check(NumberText());
    add.Flag("hw-report", "synthesize, place and route the VHDL on an iCE40 and print its cost "
                          "and speed instead (needs --quantize, --data-bits)");
    add.Value("device", "up5k|hx8k", "up5k", "the iCE40 of --hw-report")
        ->check(OneOf({"up5k", "hx8k"}, "up5k or hx8k"));
    add.Value("hw-timeout", "SECONDS", Number(vhdl::kDefaultHardwareTimeoutSeconds),
              "the longest --hw-report may take; its tools are stopped then (exit status 4)")
        ->check(NumberText());
    add.Value("seeds", "N", std::to_string(vhdl::kDefaultSeeds),
              "placement seeds of --hw-report, " + Range(1, vhdl::kMaxSeeds) +
                  ": it reports the median Fmax")
        ->check(IntegerText());
}

void AddMeasure(OptionAdder& add) {
    add.Flag("measure", "print the measured gain per band instead");
    add.Flag("advise-bits", "print the advised coefficient bit length instead");
    add.Value("tolerance", "TOL", Number(dsp::kDefaultToleranceDb),
              "dB the quantized design may lose, with --advise-bits")
        ->check(NumberText());
}

void AddExport(OptionAdder& add) {
    add.Value("export", "FILE", "",
              "write the coefficients for another tool (.coe, .mif, .csv, .json or a C header)");
    add.Value("export-format", "coe|mif|csv|json|c", "FILE's extension",
              "format of --export; coe and mif need --quantize")
        ->check(OneOf({"coe", "mif", "csv", "json", "c"}, "coe, mif, csv, json or c"));
}

void AddPlot(OptionAdder& add) {
    add.Value("plot", kPlotChoices, "", "draw this plot as the window does (with --out)");
    add.Value("out", "FILE", "",
              "the plot file: .png, .svg or .pdf (the print-out); - for standard output");
    add.Value("out-format", "png|svg|pdf", "FILE's extension", "format of --out")
        ->check(OneOf({"png", "svg", "pdf"}, "png, svg or pdf"));
}

void AddTable(OptionAdder& add) {
    add.Value("table", kTableChoices, "",
              "print this view's numbers instead of the coefficients (of the quantized ones with "
              "--quantize)");
}

void AddSaveDesign(OptionAdder& add) {
    add.Value("save-design", "FILE", "",
              "write the design file (.vantrel) after every other action");
}

// What fir, iir, load and open do once the document holds coefficients: one set of options,
// so every command that ends with coefficients takes the same actions.
void AddCoefficientActions(OptionAdder& add, const COlvexDoc& fresh) {
    AddQuantize(add);
    AddCoefficientOutputs(add, fresh);
    AddTestWave(add, fresh);
    AddVhdl(add, fresh);
    AddMeasure(add);
    AddExport(add);
    AddPlot(add);
    AddTable(add);
    AddSaveDesign(add);
}

// ---- The subcommands --------------------------------------------------------------------------

struct Subcommand {
    const char* name;
    const char* summary;
    int (*run)(const CliArgs&, RunState&);
    void (*addOptions)(OptionAdder&, const COlvexDoc&);
};

const Subcommand kSubcommands[] = {
    {"fir",
     "design a FIR filter (Remez exchange, least squares or Kaiser window); prints its taps, one "
     "per line",
     RunFir,
     [](OptionAdder& add, const COlvexDoc& fresh) {
         AddTypeAndFs(add, fresh, true);
         AddFirDesign(add, fresh);
         add.Value("bands", "\"F0,F1,G,W;...\"", "",
                   "multiband design: up to 8 bands, each two edges (Hz, ascending), a gain and a "
                   "weight");
         AddRequirements(add, false);
         add.Value("decimate", "R", "",
                   "polyphase decimator by R, 2 to 64: --vhdl, --verilog, --testbench and "
                   "--hw-report generate it; without --testbench, --user FILE (D-bit integers) "
                   "or --wave print its outputs")
             ->check(IntegerText());
         add.Value("interpolate", "R", "",
                   "polyphase interpolator by R, 2 to 64, as --decimate (R outputs per sample)")
             ->check(IntegerText());
         AddCoefficientActions(add, fresh);
     }},
    {"iir", "design a Chebyshev IIR cascade; prints its eight sections \"a0 a1 a2 b1 b2\"", RunIir,
     [](OptionAdder& add, const COlvexDoc& fresh) {
         AddTypeAndFs(add, fresh);
         AddIirDesign(add, fresh);
         AddRequirements(add, true);
         AddCoefficientActions(add, fresh);
     }},
    {"wave", "run the test wave through a design; prints \"index input output\" or the spectra",
     RunWave,
     [](OptionAdder& add, const COlvexDoc& fresh) {
         AddStructure(add);
         AddTypeAndFs(add, fresh);
         AddFirDesign(add, fresh, false);
         AddIirDesign(add, fresh, false);
         AddMethod(add, fresh, true, true);
         AddQuantize(add);
         AddTestWave(add, fresh);
         AddWaveAnalysis(add, fresh);
         AddDataBits(add, fresh);
         add.Flag("hardware", "a fourth column: the generated hardware's output (needs "
                              "--quantize, --data-bits)");
         AddPlot(add);
     }},
    {"load", "read a coefficient file; prints its coefficients as fir or iir print them", RunLoad,
     [](OptionAdder& add, const COlvexDoc& fresh) {
         // "load FILE": the file may also come first, without --file.
         add.Value("file", "FILE", "",
                   "the coefficient file to read (may also come first, without --file)", true);
         AddStructure(add);
         // The bands the loaded coefficients are measured against.
         AddTypeAndFs(add, fresh);
         add.Value("edges", "E1,E2[,E3,E4]", "",
                   "the bands of --measure and --advise-bits: FIR band edges, or IIR cut-off "
                   "frequencies, Hz");
         AddCoefficientActions(add, fresh);
     }},
    {"open", "open a design file; prints its coefficients as fir or iir print them", RunOpen,
     [](OptionAdder& add, const COlvexDoc& fresh) {
         add.Value("file", "FILE", "",
                   "the design file to open (may also come first, without --file)", true);
         AddCoefficientActions(add, fresh);
         add.Value("compensator", "FILE", "",
                   "a CIC file's compensator: write its taps, one a line, as cic does");
     }},
    {"cic", "a CIC decimator or interpolator; prints its structure and its outputs", RunCic,
     [](OptionAdder& add, const COlvexDoc&) {
         add.Value("decimate", "R", "", "decimate by R, 2 to 1024")->check(IntegerText());
         add.Value("interpolate", "R", "", "interpolate by R, 2 to 1024")->check(IntegerText());
         add.Value("stages", "S", "4", "integrator and comb stages, 1 to 8")->check(IntegerText());
         add.Value("delay", "DL", "1", "differential delay of the combs, 1 or 2")
             ->check(IntegerText());
         add.Value("data-bits", "D", "16", "input and output bits, 4 to 24")->check(IntegerText());
         add.Value("edge", "F", "0.25", "droop line's edge, cycles per low-rate sample")
             ->check(NumberText());
         add.Value("user", "FILE", "", "input samples, D-bit integers (default: a test input)");
         add.Value("vhdl", "FILE", "", "write the filter in VHDL");
         add.Value("verilog", "FILE", "", "write the filter in Verilog-2001");
         add.Flag("impulse", "print the impulse response at the high rate, DC gain 1");
         add.Flag("step", "print the step response at the high rate, ending at 1");
         add.Flag("group-delay", "print the group delay, in high-rate and low-rate samples");
         add.Flag("prune", "a decimator with pruned registers (their output within a stated bound "
                           "of the exact one)");
         add.Flag("pipeline", "a decimator whose adders work in two pipelined halves: the same "
                              "outputs at a higher clock");
         add.Flag("compensate", "design the droop compensator at the low rate (needs --taps, "
                                "--edges)");
         add.Value("taps", "N", "", "the compensator's taps, 4 to 380")->check(IntegerText());
         add.Value("edges", "E1,E2[,E3,E4]", "",
                   "the compensator's two edges FP,FSTOP: pass band to FP, stop band from "
                   "FSTOP, cycles per low-rate sample");
         add.Value("compensator", "FILE", "",
                   "write the compensator's taps, one a line (load FILE makes its hardware)");
         add.Value("testbench", "FILE", "",
                   "write a self-checking testbench of the filter: Verilog when FILE ends in .v "
                   "or .sv, VHDL otherwise");
         add.Flag("hw-report", "synthesize, place and route the filter on an iCE40 and print its "
                               "cost and speed instead of the outputs");
         add.Value("device", "up5k|hx8k", "up5k", "the iCE40 of --hw-report")
             ->check(OneOf({"up5k", "hx8k"}, "up5k or hx8k"));
         add.Value("clock", "HZ", "0", "the clock --hw-report places for, Hz (0: none)")
             ->check(NumberText());
         add.Value("seeds", "N", std::to_string(vhdl::kDefaultSeeds),
                   "placement seeds of --hw-report: it reports the median Fmax")
             ->check(IntegerText());
         add.Value("hw-timeout", "SECONDS", Number(vhdl::kDefaultHardwareTimeoutSeconds),
                   "the longest --hw-report may take; its tools are stopped then");
     }},
};

// ---- Help ---------------------------------------------------------------------------------------

// One subcommand's section: its summary, then each option with its value and default.
std::string SectionText(const CLI::App& command) {
    const bool takesFile = command.get_option_no_throw("file") != nullptr;
    std::string text = "\nvantrel-cli " + command.get_name() + (takesFile ? " FILE" : "") + ": " +
                       command.get_description() + "\n";
    std::vector<const CLI::Option*> options = command.get_options();
    // The parser adds its help flag first; the help lists it last.
    std::erase(options, command.get_help_ptr());
    options.push_back(command.get_help_ptr());
    for (const CLI::Option* option : options) {
        std::string left = "  " + option->get_name();
        if (option->get_expected_min() > 0) {
            left += " " + option->get_type_name();
        }
        char line[512];
        std::snprintf(line, sizeof line, "%-28s %s", left.c_str(),
                      option->get_description().c_str());
        text += line;
        if (!option->get_default_str().empty()) {
            text += " [default: " + option->get_default_str() + "]";
        }
        text += "\n";
    }
    return text;
}

// What a command's options alone do not say: the lines --measure, --advise-bits and
// --hardware print, and where load takes its bands from.
std::string CommandNotes(const CLI::App& command) {
    std::string text;
    if (command.get_option_no_throw("measure") != nullptr) {
        text += "  --measure prints per band in frequency order \"pass LO HI MIN_DB MAX_DB\" or\n"
                "    \"stop LO HI MAX_DB\" (of the quantized coefficients with --quantize);\n"
                "    --advise-bits prints \"bits B\", then \"B STOP_MAX_DB RIPPLE_DB\n"
                "    ok|exceeds|unstable\" per candidate B (TOL defaults to 1 dB)\n";
        text += "  Bands: FIR bands are the design's bands. " + std::string(dsp::kIirBandRuleText) +
                "\n";
    }
    if (command.get_option_no_throw("hardware") != nullptr) {
        text += "  --hardware --data-bits D with --quantize B: a fourth column, the generated\n"
                "    hardware's output at D data bits; overflows go to standard error\n";
    }
    if (command.get_name() == "load") {
        text += "  A coefficient file brings no bands: --measure and --advise-bits take them\n"
                "    from --edges (with --type and --fs)\n";
    }
    return text;
}

// The standard streams, each line after `indent`.
std::string StreamsText(const std::string& indent) {
    return indent + "A FILE of - is standard output for every option that writes a file (one\n" +
           indent + "per run; nothing else is printed there then) and standard input for the\n" +
           indent + "FILE of load and open and for --user.\n";
}

const char kExitStatusText[] =
    "\nexit status: 0 done, 2 input refused (the warning is on standard error),\n"
    "3 design failed (or requirements that cannot be met), 4 a file or standard output\n"
    "not written (--hw-report: its tools missing or failing),\n"
    "5 fir: the design ends short of the equiripple optimum (the taps are printed),\n"
    "6 --hw-report: the design does not fit the device or misses --clock\n";

// The overview: the commands and how to get the options of each.
std::string OverviewText(const CLI::App& app) {
    std::string text = "usage: vantrel-cli COMMAND [OPTION VALUE | FLAG]...\n"
                       "       vantrel-cli help [COMMAND]\n"
                       "       vantrel-cli --version\n"
                       "\ncommands:\n";
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        char line[512];
        std::snprintf(line, sizeof line, "  %-6s %s\n", command->get_name().c_str(),
                      command->get_description().c_str());
        text += line;
    }
    text += "  help   print the options of COMMAND, or this overview\n"
            "\nvantrel-cli help COMMAND (or vantrel-cli COMMAND --help) lists the options of\n"
            "COMMAND with their defaults.\n";
    text += StreamsText("");
    text += kExitStatusText;
    return text;
}

// The help of one subcommand: its options only.
std::string CommandHelpText(const CLI::App& command) {
    std::string text = "usage: vantrel-cli " + command.get_name() +
                       (command.get_option_no_throw("file") != nullptr ? " FILE" : "") +
                       " [OPTION VALUE | FLAG]...\n" + SectionText(command);
    text += CommandNotes(command);
    text += StreamsText("  ");
    text += kExitStatusText;
    return text;
}

// The overview when `only` is null, else the help of that command.
int PrintHelp(const CLI::App& app, const CLI::App* only, std::FILE* out) {
    const std::string text = only == nullptr ? OverviewText(app) : CommandHelpText(*only);
    std::fputs(text.c_str(), out);
    return out == stdout ? kExitOk : kExitInvalid;
}

// The subcommand named by `word`, or null.
const CLI::App* NamedCommand(const CLI::App& app, const std::string& word) {
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        if (command->get_name() == word) {
            return command;
        }
    }
    return nullptr;
}

// vantrel-cli help [COMMAND]
int RunHelp(const CLI::App& app, int argc, char** argv) {
    if (argc == 2) {
        return PrintHelp(app, nullptr, stdout);
    }
    const CLI::App* command = NamedCommand(app, argv[2]);
    if (command == nullptr) {
        std::fprintf(stderr,
                     "vantrel-cli help: unknown command '%s' (expected fir, iir, wave, load or "
                     "open)\n",
                     argv[2]);
        return kExitInvalid;
    }
    if (argc > 3) {
        std::fprintf(stderr, "vantrel-cli help: unexpected argument '%s'\n", argv[3]);
        return kExitInvalid;
    }
    return PrintHelp(app, command, stdout);
}

// ---- Running ------------------------------------------------------------------------------------

int RefuseWords(const char* command, const std::string& error) {
    std::fprintf(stderr, "vantrel-cli %s: %s (vantrel-cli %s --help lists the options)\n", command,
                 error.c_str(), command);
    return kExitInvalid;
}

// The words the parser did not take: an option no dialog of this command has, or a stray value.
int RefuseLeftovers(const char* command, const std::vector<std::string>& leftovers) {
    const std::string& word = leftovers.front();
    if (word.rfind("--", 0) == 0) {
        return RefuseWords(command, "unknown option '" + word + "'");
    }
    return RefuseWords(command, "unexpected argument '" + word + "'");
}

// The options that write a file; "-" is standard output for each of them.
constexpr const char* kOutputs[] = {"save-coeffs", "response", "vhdl",        "verilog",
                                    "testbench",   "export",   "save-design", "out"};
// The options that read a file; "-" is standard input for each of them.
constexpr const char* kInputs[] = {"file", "user"};
// The options that print on standard output in place of the coefficients.
constexpr const char* kPrintouts[] = {"report", "measure",   "advise-bits",
                                      "table",  "hw-report", "spectrum"};

bool OnStandardStream(const CliArgs& args, const char* name) {
    return args.Has(name) && args.Value(name) == files::kStandardStreamPath;
}

// The option that writes to standard output, or null.
const char* StandardOutputOption(const CliArgs& args) {
    for (const char* name : kOutputs) {
        if (OnStandardStream(args, name)) {
            return name;
        }
    }
    return nullptr;
}

// "-" on both sides: one option may read standard input and one may write standard output. A
// file written there takes standard output for itself: a printout asked for beside it is
// refused, and the coefficients printed by default are left out.
int CheckStandardStreams(const CliArgs& args) {
    const std::pair<const char* const*, const char* const*> sides[] = {
        {std::begin(kOutputs), std::end(kOutputs)}, {std::begin(kInputs), std::end(kInputs)}};
    for (const auto& [first, last] : sides) {
        const char* taken = nullptr;
        for (const char* const* name = first; name != last; ++name) {
            if (!OnStandardStream(args, *name)) {
                continue;
            }
            if (taken != nullptr) {
                std::fprintf(stderr, "--%s and --%s both name %s (-): give one of them a file\n",
                             taken, *name,
                             first == std::begin(kOutputs) ? "standard output" : "standard input");
                return kExitInvalid;
            }
            taken = *name;
        }
    }
    const char* output = StandardOutputOption(args);
    if (output == nullptr) {
        return kExitOk;
    }
    for (const char* printout : kPrintouts) {
        if (args.Has(printout)) {
            std::fprintf(stderr,
                         "--%s prints on standard output, which --%s - writes: give --%s a "
                         "file\n",
                         printout, output, output);
            return kExitInvalid;
        }
    }
    return kExitOk;
}

// Two outputs of one run naming one file: the second would replace the first. Refused before
// anything is written.
int CheckDistinctOutputs(const CliArgs& args) {
    namespace fs = std::filesystem;
    std::vector<std::pair<const char*, fs::path>> seen;
    for (const char* name : kOutputs) {
        if (!args.Has(name) || args.Value(name).empty() || args.Value(name) == "-") {
            continue;
        }
        std::error_code error;
        fs::path path = fs::absolute(args.Value(name), error).lexically_normal();
        for (const auto& [other, otherPath] : seen) {
            std::error_code notSame;
            if (path == otherPath || fs::equivalent(path, otherPath, notSame)) {
                std::fprintf(stderr,
                             "--%s and --%s name the same file %s: one would replace "
                             "the other\n",
                             other, name, args.Value(name).c_str());
                return kExitInvalid;
            }
        }
        seen.emplace_back(name, std::move(path));
    }
    return kExitOk;
}

int RunSubcommand(const Subcommand& sub, const CliArgs& args) {
    int status = CheckPlotOptions(args);
    status = status != kExitOk ? status : CheckTableOption(args);
    status = status != kExitOk ? status : CheckStandardStreams(args);
    status = status != kExitOk ? status : CheckDistinctOutputs(args);
    if (status != kExitOk) {
        return status;
    }
    RunState run;
    if (StandardOutputOption(args) != nullptr) {
        run.listing.Discard(); // the file on standard output stands alone
    }
    status = sub.run(args, run);
    // A design short of the optimum still stands, so its plot is drawn too.
    if (status == kExitOk || status == kExitShortOfOptimum) {
        const int plotted = WritePlotOption(args, run);
        status = plotted != kExitOk ? plotted : status;
    }
    if (status == kExitOk || status == kExitShortOfOptimum) {
        const int saved = WriteDesignOption(args, run);
        status = saved != kExitOk ? saved : status;
    }
    // What the command printed goes out only now, after every file was written, and only when
    // the run stands (a design short of the optimum and a hardware shortfall print their
    // figures all the same): a run that failed leaves standard output empty.
    if (status != kExitOk && status != kExitShortOfOptimum && status != kExitHardwareShortfall) {
        run.listing.Discard();
    }
    run.listing.Emit();
    return status;
}

} // namespace

int RunCommandLine(int argc, char** argv) {
    CLI::App app("vantrel-cli");
    app.set_help_flag("-h,--help", "print this help");
    app.require_subcommand(1, 1);
    // A repeated option takes its last value.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    const COlvexDoc fresh;
    CliArgs args;
    const std::string first = argc > 1 ? argv[1] : "";
    // Only the command that runs (or whose help is asked) gets its options: the overview lists
    // none, and adding every command's options costs more than a short run's own work.
    const std::string wanted = first == "help" ? (argc > 2 ? argv[2] : "") : first;
    for (const Subcommand& sub : kSubcommands) {
        CLI::App* command = app.add_subcommand(sub.name, sub.summary);
        command->set_help_flag("--help,-h", "print this help");
        // Words the parser does not take are refused below, naming the first of them.
        command->allow_extras();
        if (wanted == sub.name) {
            OptionAdder add(*command, args);
            sub.addOptions(add, fresh);
        }
    }
    if (first == "help") {
        return RunHelp(app, argc, argv);
    }
    if (first == "--version") {
        if (argc > 2) {
            std::fprintf(stderr, "vantrel-cli --version: unexpected argument '%s'\n", argv[2]);
            return kExitInvalid;
        }
        std::printf("vantrel-cli %s\n", VANTREL_VERSION);
        return kExitOk;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        // The command, when one is given, is the first word.
        return PrintHelp(app, NamedCommand(app, first), stdout);
    } catch (const CLI::ValidationError& error) {
        // "--taps: Please enter an integer."
        std::fprintf(stderr, "%s\n", error.what());
        return kExitInvalid;
    } catch (const CLI::ArgumentMismatch& error) {
        // "--ripple: 1 required TEXT missing": the option's value is missing.
        const std::string text = error.what();
        const std::vector<CLI::App*> parsed = app.get_subcommands();
        return RefuseWords(parsed.empty() ? "" : parsed.front()->get_name().c_str(),
                           "option '" + text.substr(0, text.find(':')) + "' needs a value");
    } catch (const CLI::ParseError& error) {
        const std::vector<CLI::App*> parsed = app.get_subcommands();
        if (!parsed.empty()) {
            return RefuseWords(parsed.front()->get_name().c_str(), error.what());
        }
        // No subcommand: nothing given, or a first word that names none.
        if (argc < 2) {
            return PrintHelp(app, nullptr, stderr);
        }
        std::fprintf(stderr,
                     "vantrel-cli: unknown command '%s' (expected fir, iir, wave, load, open or "
                     "help)\n",
                     argv[1]);
        PrintHelp(app, nullptr, stderr);
        return kExitInvalid;
    }
    for (const Subcommand& sub : kSubcommands) {
        const CLI::App* command = app.get_subcommand(sub.name);
        if (command->parsed()) {
            const std::vector<std::string> leftovers = command->remaining();
            return leftovers.empty() ? RunSubcommand(sub, args)
                                     : RefuseLeftovers(sub.name, leftovers);
        }
    }
    return kExitInvalid;
}

} // namespace cli
