// The Coefficients command's handler, as its steps: run the dialog, call the command (which
// checks and stores the quantization settings) and show its refusal, write the report of the
// current design kind into the output box, redraw, restart the timer. Also the report writers
// and the prompt that the Design command and Load use.
#include "coeffs/ui/CoefficientsHandler.h"

#include <string>

#include "app/CoefficientsCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "coeffs/CoeffReport.h"
#include "coeffs/ui/CoeffDialog.h"

void CoefficientsHandler::OnCoefficients() {
    m_view.m_bRedrawPending = 1;
    m_host.Invalidate(false);

    // With the CIC shown the coefficients are its compensator's; without one there are none.
    const bool cic = m_view.m_nFirIir == COlvexDoc::kCicStructure;
    if (cic && !commands::CheckCicCompensator(m_doc).Is(commands::OutcomeKind::kAccepted)) {
        m_host.MessageBox(commands::kNoCicCompensatorText, "", platform::MessageIcon::kWarning);
        m_view.ScheduleRedraw(COlvexView::kCommandRedrawMs);
        return;
    }
    coeffs::CCoeffDialog dlg;
    dlg.m_bQuantize = m_doc.m_bQuantize;
    dlg.m_nQuantBits = m_doc.m_nQuantBits;
    dlg.m_nCoeffFormat = m_doc.m_nCoeffFormat;
    // The design kind is the FIR/IIR choice the last command read from the form.
    const bool iir = m_view.m_nFirIir == 1;
    // The bit advice measures a FIR or IIR design against its bands; a compensator has none.
    dlg.m_pDesign = m_view.m_bNoDesign != 0 || cic ? nullptr : &m_doc;
    dlg.m_bIir = iir;
    std::string quantizedToZero;
    if (m_host.RunModal(dlg) == platform::kIdOk) {
        const commands::Outcome outcome = commands::Coefficients(
            m_doc, {iir, dlg.m_bQuantize, dlg.m_nQuantBits, dlg.m_nCoeffFormat, cic});
        if (outcome.Is(commands::OutcomeKind::kRefused)) {
            m_host.ShowWarning(outcome.warning.templateId, outcome.warning.title,
                               outcome.warning.lines);
        } else {
            quantizedToZero = outcome.message;
        }
    }
    // Whatever the dialog's outcome, the report is written with the settings now in force.
    if (cic) {
        m_view.UpdateData(true);
        m_view.m_strOutput = commands::CicCompensatorReport(m_doc, coeffs::kBoxLineEnd);
    } else if (iir) {
        WriteIirReport();
    } else {
        WriteFirReport();
    }
    m_view.UpdateData(false);
    m_view.RedrawPlot();
    m_view.m_bCoeffsListed = 1;
    m_view.ScheduleRedraw(COlvexView::kCommandRedrawMs);
    m_view.Measure().ShowMeasurementSummary();
    if (!quantizedToZero.empty()) {
        m_host.SetStatusText(quantizedToZero);
    }
}

void CoefficientsHandler::WriteFirReport() {
    m_view.UpdateData(true);
    m_view.m_strOutput = commands::CoefficientReport(m_doc, false, coeffs::kBoxLineEnd);
}

void CoefficientsHandler::WriteIirReport() {
    m_view.UpdateData(true);
    m_view.m_strOutput = commands::CoefficientReport(m_doc, true, coeffs::kBoxLineEnd);
}

void CoefficientsHandler::ShowCoeffPrompt() {
    m_view.UpdateData(true);
    m_view.m_strOutput = std::string(coeffs::kCoeffPrompt) + std::string(coeffs::kBoxLineEnd);
    m_view.UpdateData(false);
}
