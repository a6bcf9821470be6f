#include "platform/scripted/ScriptedHost.h"

#include <utility>

#include "files/SearchPath.h"

namespace platform {

DialogAnswer DialogAnswer::Ok(int templateId) {
    return {templateId, {}, kIdOk};
}

DialogAnswer DialogAnswer::Cancel(int templateId) {
    return {templateId, {}, kIdCancel};
}

DialogAnswer& DialogAnswer::Text(int id, const std::string& text) {
    entries.push_back({EntryKind::kText, id, text, 0});
    return *this;
}

DialogAnswer& DialogAnswer::Check(int id, int check) {
    entries.push_back({EntryKind::kCheck, id, {}, check});
    return *this;
}

DialogAnswer& DialogAnswer::Radio(int id) {
    entries.push_back({EntryKind::kRadio, id, {}, 1});
    return *this;
}

DialogAnswer& DialogAnswer::Slider(int id, int position) {
    entries.push_back({EntryKind::kSlider, id, {}, position});
    return *this;
}

DialogAnswer& DialogAnswer::Press(int id) {
    entries.push_back({EntryKind::kButton, id, {}, 0});
    return *this;
}

ScriptedHost::ScriptedHost(const DialogTemplate& form) : m_formTemplate(form), m_form(form) {}

void ScriptedHost::ClickFormRadio(int radioId) {
    ClickRadio(m_form, m_formTemplate, radioId);
}

bool ScriptedHost::TickTimer(int timerId) {
    if (m_timerPeriods.count(timerId) == 0) {
        return false;
    }
    if (m_view != nullptr) {
        m_view->OnTimer(timerId);
    }
    return true;
}

void ScriptedHost::Paint() {
    if (m_view != nullptr) {
        m_view->OnPaint();
    }
}

std::optional<int> ScriptedHost::TimerPeriod(int timerId) const {
    const auto it = m_timerPeriods.find(timerId);
    return it == m_timerPeriods.end() ? std::nullopt : std::optional<int>(it->second);
}

namespace {

// The control kinds an entry of a scripted answer can act on.
bool Fits(DialogAnswer::EntryKind entry, ControlKind control) {
    switch (entry) {
    case DialogAnswer::EntryKind::kText:
        return control == ControlKind::kEdit;
    case DialogAnswer::EntryKind::kCheck:
        return control == ControlKind::kCheckBox;
    case DialogAnswer::EntryKind::kRadio:
        return control == ControlKind::kRadio;
    case DialogAnswer::EntryKind::kSlider:
        return control == ControlKind::kSlider;
    case DialogAnswer::EntryKind::kButton:
        return control == ControlKind::kPushButton || control == ControlKind::kDefaultPushButton;
    }
    return false;
}

} // namespace

void ScriptedHost::Apply(const DialogAnswer& answer, Dialog& shown, ControlValues& controls) {
    const DialogTemplate& dialog = shown.Template();
    for (const DialogAnswer::Entry& entry : answer.entries) {
        const ControlTemplate* control = dialog.Find(entry.id);
        // OK and Cancel close the dialog: they are the answer's button, not an entry.
        const bool closes = entry.id == kIdOk || entry.id == kIdCancel;
        if (control == nullptr || !Fits(entry.kind, control->kind) || closes) {
            throw ScriptError("dialog " + std::to_string(dialog.id) + " has no control " +
                              std::to_string(entry.id) + " of that kind");
        }
        switch (entry.kind) {
        case DialogAnswer::EntryKind::kText:
            // A user cannot type into a read-only field.
            if (controls.IsReadOnly(entry.id)) {
                throw ScriptError("control " + std::to_string(entry.id) + " is read-only");
            }
            if (!controls.IsEnabled(entry.id)) {
                throw ScriptError("control " + std::to_string(entry.id) + " is disabled");
            }
            controls.SetText(entry.id, entry.text);
            break;
        case DialogAnswer::EntryKind::kCheck:
            controls.SetCheck(entry.id, entry.value);
            shown.OnClicked(entry.id, controls);
            break;
        case DialogAnswer::EntryKind::kRadio:
            ClickRadio(controls, dialog, entry.id);
            shown.OnClicked(entry.id, controls);
            break;
        case DialogAnswer::EntryKind::kSlider:
            controls.SetSliderPos(entry.id, entry.value);
            break;
        case DialogAnswer::EntryKind::kButton:
            shown.OnButton(entry.id, controls);
            break;
        }
    }
}

int ScriptedHost::RunModal(Dialog& dialog) {
    const DialogTemplate& shape = dialog.Template();
    ControlValues controls(shape);
    OpenDialog(dialog, controls);
    m_dialogs.push_back({shape.id, shape.title, kIdCancel, {}, controls, controls});
    const size_t record = m_dialogs.size() - 1;
    for (;;) {
        if (m_dialogAnswers.empty()) {
            throw ScriptError("no answer for dialog " + std::to_string(shape.id) + " \"" +
                              shape.title + "\"");
        }
        const DialogAnswer answer = m_dialogAnswers.front();
        m_dialogAnswers.pop_front();
        if (answer.templateId != 0 && answer.templateId != shape.id) {
            throw ScriptError("answer for dialog " + std::to_string(answer.templateId) +
                              " given to dialog " + std::to_string(shape.id));
        }
        Apply(answer, dialog, controls);
        m_dialogs[record].closed = controls;
        if (answer.button != kIdOk) {
            m_dialogs[record].result = kIdCancel;
            return kIdCancel;
        }
        const std::optional<ExchangeFailure> failure = AcceptDialog(dialog, controls);
        m_dialogs[record].closed = controls;
        if (!failure) {
            m_dialogs[record].result = kIdOk;
            return kIdOk;
        }
        // The platform showed the check's message in a message box and kept the dialog open.
        m_dialogs[record].failedChecks.push_back(failure->message);
        MessageBox(failure->message, "", MessageIcon::kWarning);
    }
}

void ScriptedHost::ShowWarning(int templateId, const std::string& title,
                               const std::vector<std::string>& lines) {
    m_warnings.push_back({templateId, title, lines});
}

void ScriptedHost::MessageBox(const std::string& text, const std::string& caption,
                              MessageIcon icon) {
    m_messages.push_back({text, caption.empty() ? kApplicationName : caption, icon});
}

std::optional<std::string> ScriptedHost::RunFileDialog(const FileDialogRequest& request) {
    m_fileDialogs.push_back(request);
    if (m_fileAnswers.empty()) {
        throw ScriptError("no answer for the file dialog of \"" + request.fileName + "\"");
    }
    const std::optional<std::string> answer = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    return answer;
}

void ScriptedHost::SetTimer(int timerId, int periodMs) {
    m_timerStarts.push_back({timerId, periodMs});
    m_timerPeriods[timerId] = periodMs;
}

std::unique_ptr<DrawContext> ScriptedHost::GetPlotContext() {
    auto drawing = std::make_shared<Drawing>();
    m_drawings.push_back(drawing);
    return std::make_unique<RecordingDrawContext>(drawing);
}

std::optional<std::string>
ScriptedHost::SearchFile(const std::string& name, const std::string& defaultExtension,
                         const std::function<bool(const std::string& path)>& accept) {
    return accept ? files::SearchAlongPath(name, defaultExtension, m_searchFolders, accept)
                  : files::SearchAlongPath(name, defaultExtension, m_searchFolders);
}

bool ScriptedHost::Print(PrintKind kind, const PageRenderer& renderer) {
    auto page = std::make_shared<Drawing>();
    {
        RecordingDrawContext dc(page);
        renderer(dc);
    }
    m_prints.push_back({kind, page});
    return true;
}

std::string ScriptedHost::RenderPicture(PictureFormat format, Size size,
                                        const PageRenderer& renderer) {
    auto page = std::make_shared<Drawing>();
    {
        RecordingDrawContext dc(page);
        renderer(dc);
    }
    m_pictures.push_back({format, size, page});
    static constexpr const char* kNames[] = {"png", "svg", "pdf"};
    return std::string("scripted ") + kNames[static_cast<int>(format)] + " " +
           std::to_string(size.cx) + "x" + std::to_string(size.cy) + ": " +
           std::to_string(page->lines.size()) + " lines, " + std::to_string(page->texts.size()) +
           " texts\n";
}

bool ScriptedHost::RunInBackground(const std::string& title, const BackgroundWork& work) {
    m_backgroundTitles.push_back(title);
    std::atomic<bool> cancel{false};
    int step = 0;
    const int cancelAt = std::exchange(m_cancelBackgroundAt, 0);
    work(cancel, [&](const std::string& text) {
        m_backgroundProgress.push_back(text);
        if (++step == cancelAt) {
            cancel = true;
        }
    });
    return !cancel;
}

SaveChangesAnswer ScriptedHost::AskSaveChanges(const std::string& question) {
    m_saveQuestions.push_back(question);
    if (m_saveAnswers.empty()) {
        return SaveChangesAnswer::kDiscard;
    }
    const SaveChangesAnswer answer = m_saveAnswers.front();
    m_saveAnswers.pop_front();
    return answer;
}

} // namespace platform
