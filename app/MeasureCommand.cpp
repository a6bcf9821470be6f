// View > Measurements: the measured gain of every band of the current design, unquantized and,
// while quantization is on, quantized, with the rule the bands follow. The table is measured
// afresh each time it opens; Design, Coefficients and Load put its one-line summary into the
// status bar.
#include "app/Commands.h"
#include "app/OlvexDoc.h"
#include "app/OlvexDocEngine.h"
#include "app/OlvexView.h"
#include "platform/UiHost.h"

namespace {
constexpr const char* kMeasurementsCaption = "Measurements";
constexpr const char* kNoDesignText = "Click 'Design' to design FIR/IIR filters";
constexpr const char* kBandsUnknownText =
    "Bands unknown: the loaded coefficients came without them (View > Measurements asks for "
    "them)";
} // namespace

void COlvexView::OnMeasurements() {
    UpdateData(true); // the FIR/IIR choice of the form
    const std::string text = m_bNoDesign != 0
                                 ? kNoDesignText
                                 : commands::MeasurementsReport(m_doc, m_nFirIir == 1, "\n");
    m_host.MessageBox(text, kMeasurementsCaption, platform::MessageIcon::kInformation);
}

void COlvexView::ShowMeasurementSummary() {
    // Coefficients from a bare file are never measured against the form's bands.
    if (m_doc.m_bBandsKnown == 0) {
        m_host.SetStatusText(kBandsUnknownText);
    } else if (m_bNoDesign == 0) {
        m_host.SetStatusText(commands::MeasurementsSummary(m_doc, m_nFirIir == 1));
    }
}
