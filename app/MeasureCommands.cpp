// The measurements of the document's design, and storing the bands of loaded coefficients with
// the FIR and IIR dialogs' own checks.
#include "app/MeasureCommands.h"

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "app/ViewCommands.h"
#include "dsp/MeasureReport.h"

namespace commands {

dsp::BandSpec BandSpecOf(const COlvexDoc& doc, bool iir) {
    if (iir) {
        return {doc.m_nFilterType, doc.m_fs, doc.m_dIirFc1, doc.m_dIirFc2, 0.0, 0.0};
    }
    dsp::BandSpec spec{doc.m_nFilterType, doc.m_fs, doc.m_fc1, doc.m_fc2, doc.m_fc3, doc.m_fc4, {}};
    if (doc.FirUsesBandTable()) {
        // A band of gain 0 is a stop band, any other a pass band.
        const dsp::FirBands table = doc.BandTable();
        for (int b = 0; b < table.nBands; ++b) {
            spec.firBands.push_back({table.desired[static_cast<size_t>(b)] != 0.0,
                                     table.edges[static_cast<size_t>(2 * b)] * doc.m_fs,
                                     table.edges[static_cast<size_t>(2 * b + 1)] * doc.m_fs});
        }
    }
    return spec;
}

dsp::Measurements MeasureDocument(const COlvexDoc& doc, bool iir) {
    const dsp::FilterCoefficients unquantized = doc.TakeCoefficients(iir, false);
    if (doc.m_bQuantize != 1) {
        return dsp::Measure(BandSpecOf(doc, iir), unquantized, nullptr);
    }
    const dsp::FilterCoefficients quantized = doc.TakeCoefficients(iir, true);
    return dsp::Measure(BandSpecOf(doc, iir), unquantized, &quantized);
}

dsp::BitAdvice AdviseDocumentBits(const COlvexDoc& doc, bool iir, double toleranceDb) {
    return dsp::AdviseBits(BandSpecOf(doc, iir), doc.TakeCoefficients(iir, false), toleranceDb);
}

std::string MeasurementsReport(const COlvexDoc& doc, bool iir, const char* lineEnd) {
    return dsp::MeasurementsText(MeasureDocument(doc, iir), iir, doc.m_nQuantBits, lineEnd,
                                 UnstableSectionsOf(doc, iir));
}

std::string MeasurementsSummary(const COlvexDoc& doc, bool iir) {
    return dsp::MeasurementsSummary(MeasureDocument(doc, iir), doc.m_nQuantBits,
                                    UnstableSectionsOf(doc, iir));
}

MeasureBandsRequest MeasureBandsFromDocument(const COlvexDoc& doc, bool iir, int type) {
    MeasureBandsRequest request;
    request.type = type;
    request.fs = doc.m_fs;
    if (iir) {
        request.fc[0] = doc.m_dIirFc1;
        request.fc[1] = doc.m_dIirFc2;
    } else {
        request.fc[0] = doc.m_fc1;
        request.fc[1] = doc.m_fc2;
        request.fc[2] = doc.m_fc3;
        request.fc[3] = doc.m_fc4;
    }
    return request;
}

Outcome SetMeasureBands(COlvexDoc& doc, bool iir, const MeasureBandsRequest& r) {
    const bool four = design::IsThreeBand(r.type);
    design::Warning warning;
    if (iir) {
        const RangeRefusal range =
            design::CheckIirDialogValues(r.type, doc.m_dRippleDb, r.fc[0], r.fc[1], r.fs);
        if (range.Refused()) {
            return OutOfRange(range);
        }
        // Two sections: an even count, so only the cut-offs are checked here.
        if (!design::CheckIirParameters(r.type, 2, r.fs, r.fc[0], r.fc[1], warning)) {
            return Refused(warning);
        }
        doc.m_dIirFc1 = r.fc[0];
        doc.m_dIirFc2 = four ? r.fc[1] : doc.m_dIirFc2;
    } else {
        const RangeRefusal range =
            design::CheckFirDialogValues(r.type, r.fs, r.fc, doc.m_dRR, doc.m_nCoeffMultiplier);
        if (range.Refused()) {
            return OutOfRange(range);
        }
        if (!design::CheckFirEdges(r.type, r.fs, r.fc[0], r.fc[1], r.fc[2], r.fc[3], warning)) {
            return Refused(warning);
        }
        doc.m_fc1 = r.fc[0];
        doc.m_fc2 = r.fc[1];
        doc.m_fc3 = four ? r.fc[2] : doc.m_fc3;
        doc.m_fc4 = four ? r.fc[3] : doc.m_fc4;
    }
    doc.m_nFilterType = r.type;
    doc.m_fs = r.fs;
    doc.m_bBandsKnown = 1;
    return {};
}

} // namespace commands
