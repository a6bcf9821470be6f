// The desktop of vantrel-cli: one document, one form view and the scripted desktop that the
// options answer. Every subcommand presses the form's buttons through the view, so the window
// and the command line store and check each dialog's fields in one place.
//
// A dialog comes up, takes the answer the options prepared for its template (entries typed into
// its controls, then OK), and is cancelled when no answer was prepared. An OK whose check fails
// is followed by Cancel, as a user gives up after the check's message. Warnings, message boxes
// and failed checks are kept in the order the window showed them.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/OlvexDoc.h"
#include "app/OlvexView.h"
#include "platform/scripted/ScriptedHost.h"

namespace cli {

// One thing the window showed the user while a command ran.
struct Notice {
    enum class Kind { kWarning, kMessage, kFailedCheck };
    Kind kind = Kind::kWarning;
    int templateId = 0; // the warning's or the dialog's template
    int controlId = 0;  // a failed check: the control it refused
    std::string text;   // the lines of a warning joined by spaces, or the message
};

// The scripted desktop with the command line's answering rule.
class CliHost : public platform::ScriptedHost {
public:
    CliHost();

    // The answer the next dialog of this template takes (replacing an earlier one).
    void Prepare(const platform::DialogAnswer& answer);
    // The path the next file dialog returns.
    void PrepareFile(const std::string& path) { m_files.push_back(path); }
    // The template a search finds instead of searching the folders (--template PATH).
    void PrepareTemplate(const std::string& path) { m_template = path; }

    // What was shown since the last TakeNotices, and forgets it.
    std::vector<Notice> TakeNotices();
    // The controls of the last dialog of this template as they were when it opened; nullptr when
    // none came up.
    const platform::ControlValues* OpenedControls(int templateId) const;

    int RunModal(platform::Dialog& dialog) override;
    void ShowWarning(int templateId, const std::string& title,
                     const std::vector<std::string>& lines) override;
    void MessageBox(const std::string& text, const std::string& caption,
                    platform::MessageIcon icon) override;
    std::optional<std::string> RunFileDialog(const platform::FileDialogRequest& request) override;
    std::optional<std::string> SearchFile(const std::string& name,
                                          const std::string& defaultExtension) override;

private:
    std::map<int, platform::DialogAnswer> m_prepared;
    std::deque<std::string> m_files;
    std::optional<std::string> m_template;
    std::map<int, platform::ControlValues> m_opened;
    std::vector<Notice> m_notices;
};

class Session {
public:
    Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    COlvexDoc& Doc() { return m_doc; }
    COlvexView& View() { return m_view; }
    CliHost& Host() { return m_host; }

    // Clicks the form's filter-type (0 LPF .. 3 BPF) and structure radio buttons.
    void SelectForm(int filterType, bool iir);
    // Presses a button of the form; returns what the window showed meanwhile.
    std::vector<Notice> Press(int commandId);
    // The output box as text with "\n" line ends.
    std::string OutputText() const;

private:
    COlvexDoc m_doc;
    CliHost m_host;
    COlvexView m_view;
};

// Whether two documents hold the same settings: every parameter a dialog stores (design,
// coefficients, analysis), none of the results.
bool SameSettings(const COlvexDoc& a, const COlvexDoc& b);

// The form's radio button of a filter type (the group's order is LPF, HPF, BRF, BPF).
int FilterTypeRadio(int filterType);

} // namespace cli
