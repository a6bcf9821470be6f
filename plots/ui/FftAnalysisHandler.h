// FFT Analysis: the magnitude range, zoom and start frequency, then the spectra at once.
#pragma once

#include "app/ui/HandlerBase.h"

class FftAnalysisHandler : HandlerBase {
public:
    using HandlerBase::HandlerBase;

    void OnFftAnalysis();
};
