// Print > Export plot…: the plot the window shows, into a PNG, SVG or PDF file.
#pragma once

#include "app/ui/HandlerBase.h"

class ExportPlotHandler : HandlerBase {
public:
    using HandlerBase::HandlerBase;

    void OnExportPlot();
};
