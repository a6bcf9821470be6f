// The bands a loaded coefficient file is measured against. A bare coefficient file brings no
// filter type, fs or band edges, so View > Measurements asks for them and `vantrel-cli load
// --measure` takes them from --edges; both store them through SetMeasureBands.
#pragma once

#include "app/Commands.h"

class COlvexDoc;

namespace commands {

// The filter type, fs and the band edges in Hz: FIR fc1..fc4 (fc3, fc4 for BRF/BPF only), IIR
// the cut-offs fc1 and (BRF/BPF) fc2.
struct MeasureBandsRequest {
    int type = 0;
    double fs = 1000.0;
    double fc[4] = {200.0, 250.0, 350.0, 400.0};
};
// The request a band dialog starts from: the form's type, the record's fs and edges.
MeasureBandsRequest MeasureBandsFromDocument(const COlvexDoc& doc, bool iir, int type);
// The dialogs' range checks (kOutOfRange, fields kFieldFs, kFieldFc1..4), the edge order
// (kRefused, warning 220/221), then stores the type, fs and the edges of the structure and marks
// the bands known. The coefficients are not touched.
Outcome SetMeasureBands(COlvexDoc& doc, bool iir, const MeasureBandsRequest& request);

} // namespace commands
