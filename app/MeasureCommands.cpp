// The measurements of the document's design, and storing the bands of loaded coefficients with
// the FIR and IIR dialogs' own checks.
#include "app/MeasureCommands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "app/ViewCommands.h"
#include "dsp/Aliasing.h"
#include "dsp/MeasureGrid.h"
#include "dsp/MeasureReport.h"
#include "dsp/TransitionPeak.h"
#include "vhdl/VhdlText.h"

namespace commands {

dsp::BandSpec BandSpecOf(const COlvexDoc& doc, bool iir) {
    const int structure = iir ? 1 : 0;
    const int type = doc.FilterTypeOf(structure);
    const double fs = doc.FsOf(structure);
    if (iir) {
        return {type, fs, doc.m_dIirFc1, doc.m_dIirFc2, 0.0, 0.0};
    }
    dsp::BandSpec layout{type, fs, doc.m_fc1, doc.m_fc2, doc.m_fc3, doc.m_fc4, {}};
    if (doc.FirUsesBandTable()) {
        // A band of gain 0 is a stop band, any other a pass band.
        const dsp::FirBands table = doc.BandTable();
        for (int b = 0; b < table.nBands; ++b) {
            layout.firBands.push_back({table.desired[static_cast<size_t>(b)] != 0.0,
                                       table.edges[static_cast<size_t>(2 * b)] * fs,
                                       table.edges[static_cast<size_t>(2 * b + 1)] * fs});
        }
    }
    return layout;
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

namespace {

std::string IirMethodWords(const COlvexDoc& doc, bool iir) {
    return vhdl::DesignMethodWords(iir ? 1 : 0, doc.m_nIirMethod);
}

} // namespace

std::string TransitionPeakNoteOf(const COlvexDoc& doc, bool iir) {
    if (iir || !doc.BandsKnownOf(0)) {
        return {};
    }
    const dsp::FilterCoefficients c = doc.TakeCoefficients(false, false);
    const dsp::BandSpec bands = BandSpecOf(doc, false);
    const dsp::TransitionPeak peak = dsp::FirTransitionPeak(c.DesignedTaps(), bands);
    if (!(peak.gain > 0.0)) {
        return {};
    }
    // The pass bands' edges are among the points their highest gain is taken over, so a peak that
    // does not rise above them does not rise above the pass band: the whole grid is measured only
    // for a peak that might.
    const std::vector<dsp::Band> measured = dsp::MeasureBands(bands, c);
    double edgeMaxDb = -INFINITY;
    for (const dsp::Band& band : measured) {
        if (band.pass) {
            for (const double f : {band.lo, band.hi}) {
                edgeMaxDb =
                    std::max(edgeMaxDb, dsp::GainDbAt(c, 2.0 * std::numbers::pi * f / bands.fs));
            }
        }
    }
    if (std::isfinite(edgeMaxDb) && dsp::TransitionPeakNote(peak, edgeMaxDb).empty()) {
        return {};
    }
    double passMaxDb = -INFINITY;
    for (const dsp::BandGain& g : dsp::MeasureGains(c, bands.fs, measured)) {
        if (g.band.pass) {
            passMaxDb = std::max(passMaxDb, g.maxDb);
        }
    }
    return dsp::TransitionPeakNote(peak, passMaxDb);
}

// A design method other than the default is named: on a first line of the report, at the end
// of the summary. A transition band that rises above the pass band is said after both.
std::optional<AliasingMeasure> AliasingOf(const COlvexDoc& doc, bool iir) {
    if (iir || !doc.HasRateChange() || !doc.BandsKnownOf(0)) {
        return std::nullopt;
    }
    const dsp::FilterCoefficients unquantized = doc.TakeCoefficients(false, false);
    const dsp::BandSpec layout = BandSpecOf(doc, false);
    std::vector<dsp::Band> pass;
    for (const dsp::Band& band : dsp::MeasureBands(layout, unquantized)) {
        if (band.pass) {
            pass.push_back(band);
        }
    }
    AliasingMeasure m;
    m.decimate = doc.m_nRateKind == COlvexDoc::kDecimate;
    m.factor = doc.m_nRateFactor;
    m.bands = dsp::AliasingBands(pass, layout.fs, m.factor);
    if (m.bands.empty()) {
        return std::nullopt;
    }
    m.worstDb = dsp::WorstGainDb(doc.TakeCoefficients(false), layout.fs, m.bands);
    return m;
}

std::string AliasingMeasureLine(const COlvexDoc& doc, bool iir) {
    const std::optional<AliasingMeasure> m = AliasingOf(doc, iir);
    if (!m) {
        return {};
    }
    return std::string(m->decimate ? "aliasing_attenuation_db " : "imaging_attenuation_db ") +
           TableNumber(-m->worstDb);
}

namespace {

// The window's words for the aliasing measure: "aliasing max -54.107 dB (decimation by 8)".
std::string AliasingWords(const AliasingMeasure& m) {
    char text[120];
    std::snprintf(text, sizeof text, "%s max %.3f dB (%s by %d)",
                  m.decimate ? "aliasing" : "images", m.worstDb,
                  m.decimate ? "decimation" : "interpolation", m.factor);
    return text;
}

} // namespace

std::string MeasurementsReport(const COlvexDoc& doc, bool iir, const char* lineEnd) {
    // A method other than the structure's default says which made the filter, on a first line.
    const std::string method = iir ? IirMethodWords(doc, iir) : design::FirMethodText(doc, !iir);
    const std::string text =
        (method.empty() ? std::string() : "Design method: " + method + lineEnd) +
        dsp::MeasurementsText(MeasureDocument(doc, iir), iir, doc.m_nQuantBits, lineEnd,
                              UnstableSectionsOf(doc, iir));
    const std::string peak = TransitionPeakNoteOf(doc, iir);
    const std::optional<AliasingMeasure> aliasing = AliasingOf(doc, iir);
    const std::string folded =
        aliasing ? "Bands folded onto the pass band: " + AliasingWords(*aliasing) + lineEnd
                 : std::string();
    return (peak.empty() ? text : text + "Warning: the " + peak + "." + lineEnd) + folded;
}

namespace {

// The CIC's droop at its pass-band edge: the edge is given at the low rate, the response is
// defined at the high one.
double CicDroopDb(const COlvexDoc& doc) {
    const dsp::CicParams p = doc.CicParams();
    return dsp::CicMagnitudeDb(p, doc.m_dCicEdge / static_cast<double>(p.rate));
}

} // namespace

std::string CicMeasurementsReport(const COlvexDoc& doc, const char* lineEnd) {
    const dsp::CicParams p = doc.CicParams();
    if (!dsp::CicRangeError(p).empty()) {
        return "The CIC parameters are out of range: " + dsp::CicRangeError(p) + lineEnd;
    }
    const dsp::CicStructure s = dsp::DescribeCic(p);
    char text[512];
    std::snprintf(text, sizeof text,
                  "structure %s%sstages %d%srate %d%sdelay %d%sdata-bits %d%sgrowth %d%swidth "
                  "%d%sshift %d%sgain %.17g%sdroop %.17g %.6f%s",
                  p.interpolate ? "interpolator" : "decimator", lineEnd, p.stages, lineEnd, p.rate,
                  lineEnd, p.delay, lineEnd, p.dataBits, lineEnd, s.growth, lineEnd, s.registerBits,
                  lineEnd, s.growth, lineEnd, s.gain, lineEnd, doc.m_dCicEdge, CicDroopDb(doc),
                  lineEnd);
    std::string report = text;
    if (p.prune) {
        const dsp::CicPruning pruning = dsp::PruneCic(p);
        report += "dropped-bits";
        for (int b : pruning.dropped) {
            report += " " + std::to_string(b);
        }
        report += lineEnd;
        report += "error-bound " + std::to_string(pruning.errorBound) + lineEnd;
    }
    if (doc.HasCicCompensator()) {
        std::snprintf(text, sizeof text,
                      "compensator-taps %d%scompensator-edges %.17g %.17g%scompensator-ripple "
                      "%.9g%spassband-ripple-db %.6f%sstopband-attenuation-db %.6f%s",
                      doc.m_nCicCompDesigned, lineEnd, doc.m_dCicCompPassEdge,
                      doc.m_dCicCompStopEdge, lineEnd, doc.m_dCicCompRipple, lineEnd,
                      doc.m_dCicCompPassRippleDb, lineEnd, doc.m_dCicCompStopAttenDb, lineEnd);
        report += text;
    }
    return report;
}

std::string CicMeasurementsSummary(const COlvexDoc& doc) {
    const dsp::CicParams p = doc.CicParams();
    if (!dsp::CicRangeError(p).empty()) {
        return "CIC: " + dsp::CicRangeError(p);
    }
    char text[200];
    std::snprintf(text, sizeof text,
                  "CIC %s, R %d, S %d, DL %d: gain %.17g, droop %.6f dB at %.17g",
                  p.interpolate ? "interpolator" : "decimator", p.rate, p.stages, p.delay,
                  dsp::DescribeCic(p).gain, CicDroopDb(doc), doc.m_dCicEdge);
    std::string summary = text;
    if (doc.HasCicCompensator()) {
        std::snprintf(text, sizeof text,
                      "; compensator %d taps: ripple %.9g, pass band %.6f dB, stop band %.6f dB",
                      doc.m_nCicCompDesigned, doc.m_dCicCompRipple, doc.m_dCicCompPassRippleDb,
                      doc.m_dCicCompStopAttenDb);
        summary += text;
    }
    return summary;
}

std::string MeasurementsSummary(const COlvexDoc& doc, bool iir) {
    const std::string firMethod = design::FirMethodText(doc, !iir);
    const std::string iirMethod = IirMethodWords(doc, iir);
    const std::string summary =
        (iirMethod.empty() ? std::string() : iirMethod + " IIR. ") +
        dsp::MeasurementsSummary(MeasureDocument(doc, iir), doc.m_nQuantBits,
                                 UnstableSectionsOf(doc, iir)) +
        (firMethod.empty() ? std::string() : "; method: " + firMethod);
    const std::string peak = TransitionPeakNoteOf(doc, iir);
    const std::optional<AliasingMeasure> aliasing = AliasingOf(doc, iir);
    return (peak.empty() ? summary : summary + "; " + peak) +
           (aliasing ? "; " + AliasingWords(*aliasing) : std::string());
}

MeasureBandsRequest MeasureBandsFromDocument(const COlvexDoc& doc, bool iir, int type) {
    MeasureBandsRequest request;
    request.type = type;
    request.fs = doc.FsOf(iir ? 1 : 0);
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
    doc.ShowStructure(iir ? 1 : 0);
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
