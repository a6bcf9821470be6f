// Print > Export plot…: the plot the window shows, into a PNG, SVG or PDF file.
#pragma once

#include "app/ui/HandlerBase.h"
#include "platform/Dialog.h"

// The picture's width in pixels for a PNG (its height keeps the plot area's aspect).
class CExportSizeDialog : public platform::Dialog {
public:
    static constexpr int kTemplateId = 240;
    static constexpr int kIdcWidth = 2401;
    static constexpr int kDefaultWidth = 1876; // four times the plot area's default width
    static constexpr int kMinWidth = 100;
    static constexpr int kMaxWidth = 10000;

    CExportSizeDialog();
    void DoDataExchange(platform::DataExchange& exchange) override;

    int m_nWidth = kDefaultWidth;
};

class ExportPlotHandler : HandlerBase {
public:
    using HandlerBase::HandlerBase;

    void OnExportPlot();
};
