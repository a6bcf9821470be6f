// The Design command: the parameter dialog of the form's filter type and structure, the checks,
// storing, the FIR or IIR design with at most one automatic adjustment, and the epilogue that
// redraws the plot and asks for the Coefficients command.
#pragma once

#include "app/ui/HandlerBase.h"

class DesignHandler : HandlerBase {
public:
    using HandlerBase::HandlerBase;

    void OnDesign();
};

namespace design {

// The status bar text after a design that stopped at the Remez iteration limit, and after one
// that ended short of the equiripple optimum otherwise; both are followed by
// " Weighted ripple <achieved>, target <target>." (%.4g).
extern const char* const kIterationLimitStatus;
extern const char* const kShortOfOptimumStatus;
// The status bar text after a design that failed; the document keeps the previous design.
extern const char* const kDesignFailedStatus;

} // namespace design
