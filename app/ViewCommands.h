// The four views of the filter beside its frequency response, as numbers: group delay, poles and
// zeros, impulse and step response. The window draws them (plots/), vantrel-cli prints them as
// tables; both take the coefficients that leave the design (quantized while quantization is on).
#pragma once

#include <string>
#include <vector>

#include "plots/PlotMode.h"

class COlvexDoc;

namespace commands {

// The view named by its command-line word ("groupdelay", "polezero", "impulse", "step"): one of
// the plot modes plots::IsFilterView accepts; false for any other word.
bool FilterViewOf(const std::string& word, plots::PlotMode& view);

// The status-bar text naming every section whose poles lie on or outside the unit circle
// ("unstable: section 3; unstable: section 5"), empty when the cascade is stable.
std::string UnstableText(const std::vector<int>& unstableSections);

// The unstable sections (1-based) of the IIR cascade that leaves the design (quantized while
// quantization is on); empty for a FIR and for a stable cascade.
std::vector<int> UnstableSectionsOf(const COlvexDoc& doc, bool iir);
// One "unstable: section k" per unstable section of UnstableSectionsOf, for standard error.
std::vector<std::string> UnstableNotes(const COlvexDoc& doc, bool iir);
// A number of a printed table at full precision ("%.17g"); never nan or inf: a value that is not
// a number reads "undefined", an infinite one (an output grown past every bound) "overflow" or
// "-overflow".
std::string TableNumber(double value);

struct ViewTable {
    std::string text;               // the lines of the table
    std::vector<std::string> notes; // what the numbers cannot show: undefined delays, instability
};
// groupdelay: "FREQ_HZ DELAY_SAMPLES" at the 360 response frequencies; polezero: "zero RE IM"
// and "pole RE IM", then "unstable: section k" per unstable section; impulse and step: "N VALUE".
ViewTable FilterViewTable(const COlvexDoc& doc, bool iir, plots::PlotMode view);

} // namespace commands
