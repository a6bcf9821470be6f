// F-Response: the gain range, zoom and start frequency, then the response at once.
#pragma once

#include "app/ui/HandlerBase.h"

class FResponseHandler : HandlerBase {
public:
    using HandlerBase::HandlerBase;

    void OnFResponse();
};
