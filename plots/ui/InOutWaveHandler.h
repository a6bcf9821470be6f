// In/Out Wave: the test wave and how it is shown, then the input and output waves at once.
#pragma once

#include "app/ui/HandlerBase.h"

class InOutWaveHandler : HandlerBase {
public:
    using HandlerBase::HandlerBase;

    void OnInOutWave();
};
