// The Help menu: four dialogs of fixed text with one OK button.
#pragma once

#include "app/ui/HandlerBase.h"

class HelpHandler : HandlerBase {
public:
    using HandlerBase::HandlerBase;

    void OnUserWaveHelp();
    void OnOnlineHelp();
    void OnUserCoeffsFormat();
    void OnAbout();
};
