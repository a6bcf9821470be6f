// The Coefficients command's handler; also the report writers and the prompt that Design and
// Load put into the output box.
#pragma once

#include "app/ui/HandlerBase.h"

class CoefficientsHandler : HandlerBase {
public:
    using HandlerBase::HandlerBase;

    void OnCoefficients();
    // Puts the prompt for the Coefficients command into the output box.
    void ShowCoeffPrompt();

private:
    // Replace m_strOutput with the report of the document's FIR or IIR coefficients; they read
    // the form first and leave pushing the text back to their caller.
    void WriteFirReport();
    void WriteIirReport();
};
