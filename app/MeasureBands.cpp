// Storing the bands of loaded coefficients, with the FIR and IIR dialogs' own checks.
#include "app/MeasureBands.h"

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"

namespace commands {

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
