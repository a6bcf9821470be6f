// Reading numbers from text the way the dialogs accept them: the whole field must be one number
// (surrounding blanks allowed). Shared by the dialog data exchange and the batch command line.
#pragma once

#include <string>
#include <string_view>

namespace files {

// A finite double; "nan", "inf" and trailing characters are refused.
bool ParseDouble(std::string_view text, double& value);

// A decimal integer in the 32-bit range.
bool ParseInt(std::string_view text, int& value);

// Whether the text is one decimal integer of any size (an optional sign and digits): an entry
// that ParseInt refuses only for its size is out of the field's range, not malformed.
bool IsIntegerText(std::string_view text);

// The standard messages of the number checks, shared by the dialogs and the command line.
std::string IntRangeMessage(int low, int high); // "Please enter an integer between %1 and %2."
extern const char* const kEnterIntegerMessage;  // "Please enter an integer."
extern const char* const kEnterNumberMessage;   // "Please enter a number."

// How a double is shown in an edit: up to 15 significant digits, no trailing zeros.
std::string FormatDialogDouble(double value);
// How a double is shown in a dialog's field, for people: whole numbers as they are (up to 15
// digits), anything else rounded to 6 significant digits ("28.7744" for 28.7743683319973).
std::string FormatShownDouble(double value);

} // namespace files
