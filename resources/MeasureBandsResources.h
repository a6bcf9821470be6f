// The Band Edges dialog (template 210) of View > Measurements after a bare coefficient file.
#pragma once

#include "platform/DialogTemplate.h"

namespace resources {

constexpr int kIddMeasureBands = 210;
constexpr int kIdcBandsFs = 1100;
constexpr int kIdcBandsFc1 = 1101; // FIR band edges Fc1..Fc4, IIR cut-offs Fc1, Fc2
constexpr int kIdcBandsFc2 = 1102;
constexpr int kIdcBandsFc3 = 1103;
constexpr int kIdcBandsFc4 = 1104;

constexpr const char* kMeasureBandsPrompt =
    "The loaded coefficients came without their bands. Measure them against:";

const platform::DialogTemplate& MeasureBandsTemplate();

} // namespace resources
