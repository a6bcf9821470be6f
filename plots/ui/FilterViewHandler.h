// Plot menu: the four filter views (group delay, poles and zeros, impulse and step response),
// drawn at once from the form's FIR/IIR choice.
#pragma once

#include "app/ui/HandlerBase.h"

class FilterViewHandler : HandlerBase {
public:
    using HandlerBase::HandlerBase;

    void OnGroupDelayView();
    void OnPoleZeroView();
    void OnImpulseView();
    void OnStepView();

private:
    void ShowFilterView(int plotMode);
};
