// The design file: one JSON document per design (".vantrel") holding every setting the user
// made and the coefficients themselves, so that opening it gives back the same design without
// designing again. The reader checks the format, the version, the presence and the type of every
// field; the ranges of the values are the dialogs' rules, which the caller applies.
//
// Every field is one row of the field table in DesignFile.cpp, which both writing and reading
// walk. Adding a setting: a member here, its row there, and its line in each direction of the
// record adapter (TakeDesignState / StoreDesignState in app/DesignFileCommands.cpp), plus a
// range row there when a dialog checks it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace files {

constexpr const char* kDesignFormat = "vantrel-design";
constexpr int kDesignVersion = 1;
constexpr const char* kDesignExtension = ".vantrel";
constexpr int kDesignIirSections = 8;  // rows of `sections`
constexpr int kDesignMaxFirTaps = 400; // the most taps a design holds
constexpr int kDesignMaxFirBands = 8;  // rows of `fir.bands`
// A design file is read once: far less than the input cap, but room for a long template path.
constexpr size_t kMaxDesignFileBytes = size_t{1} << 20;
// The deepest nesting of lists and groups a design file may hold (the format itself uses four);
// the reader refuses deeper text before the JSON library builds anything from it.
constexpr int kDesignMaxNesting = 64;

// One IIR section as the form lists it: a0 a1 a2 b1 b2.
using DesignSection = std::array<double, 5>;

// A design as plain values; the defaults are a fresh document's.
struct DesignState {
    // The form: structure 0 FIR / 1 IIR / 2 CIC, filter type 0 LPF, 1 HPF, 2 BRF, 3 BPF; whether a
    // design stands (the plot shows it) and whether its bands are known (false after a bare
    // coefficient file was loaded).
    int structure = 0;
    int filterType = 0;
    bool designed = false;
    bool bandsKnown = true;
    // The filter type, fs and band knowledge of the other structure's coefficients, which may
    // have been designed for another filter; -1 (a file without them): the same as the design's.
    int otherType = -1;
    double otherFs = -1.0;
    int otherBandsKnown = -1;
    // FIR design: fs and the band edges in Hz, the tap count N (with the even-count flag of
    // HPF/BRF), RR and the multiplier K.
    double fs = 1000.0;
    double fc1 = 200.0, fc2 = 250.0, fc3 = 350.0, fc4 = 400.0;
    int taps = 90;
    int evenTaps = 0;
    double rr = 10.0;
    int multiplier = 1;
    // The FIR design method by name ("remez", "ls", "kaiser") and the Kaiser window's beta. A
    // Remez design is written without them, as files were before there was a choice, and a file
    // without them is a Remez design.
    std::string firMethod = "remez";
    double kaiserBeta = 8.6;
    // IIR design.
    int iirSections = 2;
    double rippleDb = 0.3;
    double iirFc1 = 200.0, iirFc2 = 300.0;
    // The IIR design method by name ("cheby1", ...) and As in dB; a file without them is a
    // Chebyshev I design, as files were before there was a choice.
    std::string iirMethod = "cheby1";
    double iirAttenDb = 40.0;
    // The FIR design's kind when it ran on a band table of its own ("hilbert", "differentiator",
    // "multiband"; empty for the filter types' layouts) and that table, one row "from, to, gain,
    // weight" per band, the edges as fractions of fs. Written only for such a design, so that
    // the file of a filter type stays as it was; a file without them designs the filter type.
    std::string firKind;
    std::vector<std::array<double, 4>> firBands;
    // The FIR's rate change ("decimate", "interpolate"; empty for single rate) and its factor.
    // Written only for a rate change, so a single-rate design's file stays as it was; a file
    // without them is single rate.
    std::string firRate;
    int firRateFactor = 2;
    // A CIC design (structure 2): "decimate" or "interpolate" (empty: the file holds no CIC),
    // R, S, DL, D, the pass-band edge of the droop line (cycles per low-rate sample) and the
    // decimator's pruned registers or pipelined adders. Written only for a CIC design, so a FIR
    // or IIR design's file stays as it was. A CIC design's filter type, fs and band edges are
    // those of the FIR beside it.
    std::string cicKind;
    int cicRate = 8;
    int cicStages = 4;
    int cicDelay = 1;
    int cicDataBits = 16;
    double cicEdge = 0.25;
    int cicPrune = 0;
    int cicPipeline = 0;
    // A CIC design's droop compensator (cicCompTaps 0: none): its tap count and its pass- and
    // stop-band edges (cycles per low-rate sample). Written only when there is one, so a CIC file
    // without it stays as it was.
    int cicCompTaps = 0;
    double cicCompPassEdge = 0.2;
    double cicCompStopEdge = 0.3;
    // Coefficients dialog: quantization, bits, number form (0 Real, 1 Bin, 2 Dec, 3 Hex).
    int quantize = 0;
    int quantBits = 16;
    int coeffFormat = 0;
    // VHDL Code: data bits, the template, the architecture (0 serial .. 3 auto), the folded
    // multiplier count, the clock in MHz, the language (0 VHDL, 1 Verilog).
    int dataBits = 12;
    std::string templatePath;
    int architecture = 0;
    int multipliers = 4;
    double clockMhz = 48.0;
    int language = 0;
    // Analyses: plot mode 0 response, 1 spectra, 2 waves, 3 group delay, 4 pole-zero,
    // 5 impulse, 6 step; the three dialogs' settings.
    int plotMode = 0;
    double gainRange = 100.0;
    int respZoom = 0, respStart = 0;
    double fftMagRange = 50.0;
    int fftZoom = 0, fftStart = 0;
    int waveType = 0;
    double waveFreq = 100.0;
    int useUserWave = 0;
    std::string userWavePath;
    double waveMagRange = 50.0;
    int waveZoom = 0, waveStart = 0;
    int showHardwareWave = 0;
    // The coefficients: the designed taps h[0..taps-1] (before K), and the eight sections.
    std::vector<double> firTaps;
    std::vector<DesignSection> sections;

    bool operator==(const DesignState&) const = default;
};

// The file's text: every field, numbers written so they read back bit-identical.
std::string WriteDesignText(const DesignState& state);

struct DesignRead {
    bool ok = false;
    DesignState state;
    std::string field;   // the field the refusal names ("design.fs"), empty for the whole file
    std::string message; // "design.fs: missing", ... ; empty when ok
};

// Parses a design file's text. Refused: not JSON or cut short, another format, another version,
// a missing field, a field of the wrong type, a coefficient list of the wrong length. Fields the
// table does not know are ignored.
DesignRead ReadDesignText(std::string_view text);

// Names of every field the file holds ("design.fs", ...), in the order they are written.
std::vector<std::string> DesignFieldNames();

} // namespace files
