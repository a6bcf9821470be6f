// The four dialogs of the Help menu: the user wave format, where online help is found, the
// coefficient file formats, and About. Each shows fixed text and one OK button.
#include "resources/AnalysisResources.h"

#include <string>
#include <vector>

namespace resources {

using platform::ControlKind;
using platform::kIdOk;
using platform::kIdStatic;
using platform::kStyleGroupStart;

namespace {

constexpr int kLineHeight = 8;
constexpr int kLineStep = 10;
constexpr int kMargin = 10;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;

platform::ControlTemplate Line(const std::string& text, int x, int y, int width, unsigned style) {
    return {kIdStatic, ControlKind::kStaticText, text, {x, y, width, kLineHeight}, style};
}

// Static lines one under the other from (x, y); returns the y below the last one.
int AddLines(platform::DialogTemplate& dialog, const std::vector<std::string>& lines, int x, int y,
             int width, unsigned style = platform::kStyleNone) {
    for (const std::string& text : lines) {
        dialog.controls.push_back(Line(text, x, y, width, style));
        y += kLineStep;
    }
    return y;
}

// A group box holding lines; returns the y below the box.
int AddGroup(platform::DialogTemplate& dialog, const std::string& title,
             const std::vector<std::string>& lines, int x, int y, int width,
             unsigned style = platform::kStyleNone) {
    const int height = kLineStep * static_cast<int>(lines.size()) + 2 * kMargin;
    dialog.controls.push_back({kIdStatic, ControlKind::kGroupBox, title, {x, y, width, height}});
    AddLines(dialog, lines, x + kMargin, y + kMargin + 2, width - 2 * kMargin, style);
    return y + height;
}

// The OK button centred under the text, and the dialog's size around everything.
void Finish(platform::DialogTemplate& dialog, int width, int y) {
    dialog.controls.push_back({kIdOk,
                               ControlKind::kDefaultPushButton,
                               "OK",
                               {(width - kButtonWidth) / 2, y, kButtonWidth, kButtonHeight},
                               kStyleGroupStart});
    dialog.size = {width, y + kButtonHeight + kMargin};
}

platform::DialogTemplate Empty(int id, const std::string& title) {
    platform::DialogTemplate dialog;
    dialog.id = id;
    dialog.title = title;
    dialog.centered = true;
    return dialog;
}

} // namespace

const platform::DialogTemplate& UserWaveHelpTemplate() {
    static const platform::DialogTemplate dialog = [] {
        constexpr int kWidth = 230;
        platform::DialogTemplate d = Empty(kIddUserWaveHelp, "User Wave");
        int y = AddLines(d, {"This program accepts a text file as an input data. "}, kMargin,
                         kMargin, kWidth - 2 * kMargin);
        y = AddGroup(d, "Data Format", {"1.234", "120", "-32.1", "1.4e-2", "-3.5e1"}, kMargin,
                     y + 4, 100);
        y = AddLines(d,
                     {"The number of the data needs to be greater than", "N + 400 (N : Tap Count)"},
                     kMargin, y + 6, kWidth - 2 * kMargin);
        Finish(d, kWidth, y + 6);
        return d;
    }();
    return dialog;
}

const platform::DialogTemplate& OnlineHelpTemplate() {
    static const platform::DialogTemplate dialog = [] {
        constexpr int kWidth = 240;
        platform::DialogTemplate d = Empty(kIddOnlineHelp, "Online Help");
        const int y = AddLines(d,
                               {"Online help is on the Vantrel web page:",
                                std::string("1. Open ") + kWebAddress + " in a web browser.",
                                "2. Choose \"Documentation\" on that page.",
                                "3. Choose \"Online Help\" for this version."},
                               kMargin, kMargin, kWidth - 2 * kMargin);
        Finish(d, kWidth, y + 6);
        return d;
    }();
    return dialog;
}

const platform::DialogTemplate& UserCoeffsFormatTemplate() {
    static const platform::DialogTemplate dialog = [] {
        // Narrow enough to open inside the main window: real and decimal side by side, then hex
        // and binary (the long lines) under them across the whole width. The formats are shown
        // in the fixed-pitch font, so the span markers stand on the digits' character grid.
        constexpr unsigned kFixed = platform::kStyleFixedPitch;
        constexpr int kGap = 6;
        constexpr int kColumnWidth = 140;
        constexpr int kWideWidth = 2 * kColumnWidth + kGap;
        constexpr int kWidth = kMargin + kWideWidth + kMargin;
        constexpr int kRightX = kMargin + kColumnWidth + kGap;
        platform::DialogTemplate d = Empty(kIddUserCoeffsFormat, "User Coeffs Format");
        const int left =
            AddGroup(d, "Real Coeffs",
                     {"Data is Real : 1.0 => 1.0", "1.234", "0.15", "20", "3.456e-3", "-1.34e2"},
                     kMargin, kMargin, kColumnWidth, kFixed);
        const int right = AddGroup(d, "Decimal Coeffs",
                                   {"Data is Dec : 1.0 => 32768", "0", "10", "-15", "-2147483647",
                                    "Note : |Value| < 2^31"},
                                   kRightX, kMargin, kColumnWidth, kFixed);
        int y = AddGroup(d, "Hex Coeffs",
                         {"Data is Hex : 1.0 => 00008000h", "00000001h", "00000A3Ch", "7FFFFFFFh",
                          "80000000h", "<- 32bits + 'h' ->", "Note : MSBs are polarity bits."},
                         kMargin, (left > right ? left : right) + kGap, kWideWidth, kFixed);
        y = AddGroup(d, "Binary Coeffs",
                     {"Data is Bin : 1.0 => 00000000000000001000000000000000b",
                      "000000000000000000000000001110101b", "01110011110101110111111011111000b",
                      "11010001110101110101110110010111b", "<---------- 32bits + 'b' ---------->",
                      "Note : MSBs are polarity bits."},
                     kMargin, y + kGap, kWideWidth, kFixed);
        Finish(d, kWidth, y + 8);
        return d;
    }();
    return dialog;
}

const platform::DialogTemplate& AboutTemplate() {
    static const platform::DialogTemplate dialog = [] {
        constexpr int kWidth = 230;
        constexpr int kIconSize = 20;
        constexpr int kTextX = kMargin + kIconSize + kMargin;
        platform::DialogTemplate d = Empty(kIddAbout, "About pelmix1.exe");
        d.controls.push_back(
            {kIdcAboutIcon, ControlKind::kPicture, "", {kMargin, kMargin, kIconSize, kIconSize}});
        const int y = AddLines(d,
                               {kVersionLine, "Digital filter design: FIR, IIR and VHDL.",
                                std::string("Vantrel developers, ") + kWebAddress},
                               kTextX, kMargin, kWidth - kTextX - kMargin);
        Finish(d, kWidth, y + 6);
        return d;
    }();
    return dialog;
}

} // namespace resources
