// View > Measurements: the measured gain per band, and its one-line summary in the status bar.
#pragma once

#include "app/ui/HandlerBase.h"

class MeasureHandler : HandlerBase {
public:
    using HandlerBase::HandlerBase;

    void OnMeasurements();
    // The one-line summary of the measurements into the status bar, after Design, Coefficients
    // and Load (nothing before the first design).
    void ShowMeasurementSummary();
};
