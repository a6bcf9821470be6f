// View > Measurements: the measured gain of every band of the current design, unquantized and,
// while quantization is on, quantized, with the rule the bands follow. The table is measured
// afresh each time it opens; Design, Coefficients and Load put its one-line summary into the
// status bar. Coefficients loaded from a bare file have no bands: Measurements first asks for
// them (the Band Edges dialog, pre-filled from the form).
#include "app/ui/MeasureHandler.h"

#include <algorithm>

#include "app/CoefficientsCommands.h"
#include "app/DesignRules.h"
#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "platform/Dialog.h"
#include "platform/UiHost.h"
#include "resources/MeasureBandsResources.h"

namespace {
constexpr const char* kMeasurementsCaption = "Measurements";
constexpr const char* kNoDesignText = "Click 'Design' to design FIR/IIR filters";
constexpr const char* kBandsUnknownText =
    "Bands unknown: the loaded coefficients came without them (View > Measurements asks for "
    "them)";
// The Band Edges dialog: fs and the edges the structure measures with (FIR: two or four band
// edges of the type; IIR: one or two cut-offs); the unused edits are left as they are.
class CMeasureBandsDialog : public platform::Dialog {
public:
    CMeasureBandsDialog(bool iir, const commands::MeasureBandsRequest& request)
        : platform::Dialog(resources::MeasureBandsTemplate()), m_bIir(iir), m_request(request) {}

    void DoDataExchange(platform::DataExchange& exchange) override {
        using namespace resources;
        const bool four = design::IsThreeBand(m_request.type);
        const int edges = m_bIir ? (four ? 2 : 1) : (four ? 4 : 2);
        const int ids[4] = {kIdcBandsFc1, kIdcBandsFc2, kIdcBandsFc3, kIdcBandsFc4};
        exchange.Double(kIdcBandsFs, m_request.fs);
        for (int i = 0; i < edges; ++i) {
            exchange.Double(ids[i], m_request.fc[i]);
        }
        if (exchange.Saving() && !exchange.Failure()) {
            const design::RangeRefusal check =
                m_bIir ? design::CheckIirDialogValues(m_request.type, 1.0, m_request.fc[0],
                                                      m_request.fc[1], m_request.fs)
                       : design::CheckFirDialogValues(m_request.type, m_request.fs, m_request.fc,
                                                      1.0, design::kMinMultiplier);
            if (check.Refused()) {
                const bool fs = check.field == design::kFieldFs;
                const int edge = std::clamp(check.field - design::kFieldFc1, 0, 3);
                exchange.Refuse(fs ? kIdcBandsFs : ids[edge], check.message);
            }
        }
    }

    bool m_bIir;
    commands::MeasureBandsRequest m_request;
};

} // namespace

void MeasureHandler::OnMeasurements() {
    m_view.UpdateData(true); // the FIR/IIR choice of the form
    if (m_view.m_nFirIir == COlvexDoc::kCicStructure) {
        const std::string text = m_doc.m_bCicDesigned == 0
                                     ? kNoDesignText
                                     : commands::CicMeasurementsReport(m_doc, "\n");
        m_host.MessageBox(text, kMeasurementsCaption, platform::MessageIcon::kInformation);
        return;
    }
    if (m_view.m_bNoDesign == 0 && m_doc.m_bBandsKnown == 0) {
        const bool iir = m_view.m_nFirIir == 1;
        CMeasureBandsDialog dlg(
            iir, commands::MeasureBandsFromDocument(m_doc, iir, m_view.m_nFilterSel));
        if (m_host.RunModal(dlg) != platform::kIdOk) {
            return;
        }
        const commands::Outcome outcome = commands::SetMeasureBands(m_doc, iir, dlg.m_request);
        if (outcome.Is(commands::OutcomeKind::kRefused)) {
            m_host.ShowWarning(outcome.warning.templateId, outcome.warning.title,
                               outcome.warning.lines);
            return;
        }
        ShowMeasurementSummary();
    }
    const std::string text = m_view.m_bNoDesign != 0
                                 ? kNoDesignText
                                 : commands::MeasurementsReport(m_doc, m_view.m_nFirIir == 1, "\n");
    m_host.MessageBox(text, kMeasurementsCaption, platform::MessageIcon::kInformation);
}

void MeasureHandler::ShowMeasurementSummary() {
    if (m_view.m_nFirIir == COlvexDoc::kCicStructure) {
        if (m_doc.m_bCicDesigned != 0) {
            m_host.SetStatusText(commands::CicMeasurementsSummary(m_doc));
        }
        return;
    }
    // Coefficients from a bare file are never measured against the form's bands.
    if (m_doc.m_bBandsKnown == 0) {
        m_host.SetStatusText(kBandsUnknownText);
    } else if (m_view.m_bNoDesign == 0) {
        m_host.SetStatusText(commands::MeasurementsSummary(m_doc, m_view.m_nFirIir == 1));
    }
}
