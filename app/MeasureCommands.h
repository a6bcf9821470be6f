// View > Measurements and the bit advisor over the document's design, and the bands a loaded
// coefficient file is measured against.
//
// A bare coefficient file brings no filter type, fs or band edges, so View > Measurements asks
// for them and `vantrel-cli load --measure` takes them from --edges; both store them through
// SetMeasureBands.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/Outcome.h"
#include "dsp/Measure.h"

class COlvexDoc;

namespace commands {

// The band edges of the document's FIR design (fc1..fc4) or IIR design (the cut-off edges),
// with its filter type and fs.
dsp::BandSpec BandSpecOf(const COlvexDoc& doc, bool iir);

// The measured gains per band of the document's design: the coefficients that leave the design
// unquantized and, with quantization on, quantized.
dsp::Measurements MeasureDocument(const COlvexDoc& doc, bool iir);

// The bit advisor over the document's unquantized design: the fewest bits within toleranceDb.
dsp::BitAdvice AdviseDocumentBits(const COlvexDoc& doc, bool iir, double toleranceDb);

// View > Measurements: the measured gain per band of the current design, unquantized and (with
// quantization on) quantized, every line ended by lineEnd; and its one-line summary.
std::string MeasurementsReport(const COlvexDoc& doc, bool iir, const char* lineEnd);
// A FIR design whose response rises above its pass band in a transition band: the line that says
// where and how high (both texts above end with it); empty otherwise, and for IIR.
std::string TransitionPeakNoteOf(const COlvexDoc& doc, bool iir);
std::string MeasurementsSummary(const COlvexDoc& doc, bool iir);

// The CIC design's report, as `vantrel-cli cic` prints its structure: the structure, S, R, DL, D,
// the growth, register width, shift and gain, and "droop EDGE DB" (the edge in cycles per sample
// of the low rate, the gain there in dB), each line ended by lineEnd. Its one-line summary, for
// the status bar, gives the gain and the droop at the edge in the same digits.
std::string CicMeasurementsReport(const COlvexDoc& doc, const char* lineEnd);
std::string CicMeasurementsSummary(const COlvexDoc& doc);

// A FIR designed to decimate (or interpolate): the bands that fold onto its pass bands (or hold
// their images) at its factor, and its largest gain in them, of the coefficients the report
// measures (quantized while quantization is on). Nothing for single rate, IIR, or bands not
// known.
struct AliasingMeasure {
    bool decimate = true;
    int factor = 0;
    std::vector<dsp::Band> bands;
    double worstDb = 0.0;
};
std::optional<AliasingMeasure> AliasingOf(const COlvexDoc& doc, bool iir);
// The command line's --measure line: "aliasing_attenuation_db X" (an interpolator's
// "imaging_attenuation_db X"), X the attenuation in the bands; empty without a rate change.
std::string AliasingMeasureLine(const COlvexDoc& doc, bool iir);

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
