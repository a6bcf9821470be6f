#include "cli/Session.h"

#include <cstdio>

#include "app/DesignRules.h"
#include "platform/SearchPath.h"
#include "resources/Resources.h"

namespace cli {

// Templates are searched where the window searches them.
CliHost::CliHost() : platform::ScriptedHost(resources::FormTemplate()) {
    SetSearchFolders(platform::SystemSearchFolders());
}

void CliHost::Prepare(const platform::DialogAnswer& answer) {
    m_prepared.insert_or_assign(answer.templateId, answer);
}

std::vector<Notice> CliHost::TakeNotices() {
    std::vector<Notice> taken;
    taken.swap(m_notices);
    return taken;
}

const platform::ControlValues* CliHost::OpenedControls(int templateId) const {
    const auto it = m_opened.find(templateId);
    return it == m_opened.end() ? nullptr : &it->second;
}

int CliHost::RunModal(platform::Dialog& dialog) {
    const platform::DialogTemplate& shape = dialog.Template();
    platform::ControlValues controls(shape);
    platform::OpenDialog(dialog, controls);
    m_opened.insert_or_assign(shape.id, controls);
    const auto prepared = m_prepared.find(shape.id);
    if (prepared == m_prepared.end()) {
        return platform::kIdCancel;
    }
    const platform::DialogAnswer answer = prepared->second;
    m_prepared.erase(prepared);
    for (const platform::DialogAnswer::Entry& entry : answer.entries) {
        using Kind = platform::DialogAnswer::EntryKind;
        switch (entry.kind) {
        case Kind::kText:
            controls.SetText(entry.id, entry.text);
            break;
        case Kind::kCheck:
            controls.SetCheck(entry.id, entry.value);
            break;
        case Kind::kRadio:
            platform::ClickRadio(controls, shape, entry.id);
            break;
        case Kind::kSlider:
            controls.SetSliderPos(entry.id, entry.value);
            break;
        case Kind::kButton:
            dialog.OnButton(entry.id, controls);
            break;
        }
    }
    if (answer.button != platform::kIdOk) {
        return platform::kIdCancel;
    }
    const std::optional<platform::ExchangeFailure> failure =
        platform::AcceptDialog(dialog, controls);
    if (!failure) {
        return platform::kIdOk;
    }
    // The window shows the check's message and keeps the dialog open; the command line has no
    // second try and gives up with Cancel.
    m_notices.push_back(
        {Notice::Kind::kFailedCheck, shape.id, failure->controlId, failure->message});
    return platform::kIdCancel;
}

void CliHost::ShowWarning(int templateId, const std::string& title,
                          const std::vector<std::string>& lines) {
    ScriptedHost::ShowWarning(templateId, title, lines);
    design::Warning warning;
    warning.title = title;
    warning.lines = lines;
    m_notices.push_back({Notice::Kind::kWarning, templateId, 0, warning.OneLine()});
}

void CliHost::MessageBox(const std::string& text, const std::string& caption,
                         platform::MessageIcon icon) {
    ScriptedHost::MessageBox(text, caption, icon);
    m_notices.push_back({Notice::Kind::kMessage, 0, 0, text});
}

std::optional<std::string> CliHost::RunFileDialog(const platform::FileDialogRequest& /*request*/) {
    if (m_files.empty()) {
        return std::nullopt; // Cancel
    }
    std::string path = m_files.front();
    m_files.pop_front();
    return path;
}

std::optional<std::string> CliHost::SearchFile(const std::string& name,
                                               const std::string& defaultExtension) {
    if (m_template) {
        return m_template;
    }
    return ScriptedHost::SearchFile(name, defaultExtension);
}

Session::Session() : m_view(m_doc, m_host) {
    m_doc.m_fnConsole = [](const std::string& text) { std::fputs(text.c_str(), stderr); };
    m_host.SetEventSink(&m_view);
    m_view.OnInitialUpdate();
}

namespace {

// The stored settings of a document, in one comparable row.
std::vector<double> SettingsRow(const COlvexDoc& d) {
    return {static_cast<double>(d.m_nFilterType),
            d.m_fs,
            d.m_fc1,
            d.m_fc2,
            d.m_fc3,
            d.m_fc4,
            d.m_dRR,
            static_cast<double>(d.m_nTaps),
            static_cast<double>(d.m_bEvenTaps),
            static_cast<double>(d.m_nCoeffMultiplier),
            static_cast<double>(d.m_nIirSections),
            d.m_dRippleDb,
            d.m_dIirFc1,
            d.m_dIirFc2,
            static_cast<double>(d.m_bQuantize),
            static_cast<double>(d.m_nQuantBits),
            static_cast<double>(d.m_nCoeffFormat),
            static_cast<double>(d.m_nDataBits),
            d.m_dGainRange,
            static_cast<double>(d.m_nRespFreqZoom),
            static_cast<double>(d.m_nRespStartPos),
            d.m_dFftMagRange,
            static_cast<double>(d.m_nFftFreqZoom),
            static_cast<double>(d.m_nFftStartPos),
            d.m_dWaveFreq,
            static_cast<double>(d.m_nWaveType),
            static_cast<double>(d.m_bUseUserWave),
            d.m_dWaveMagRange,
            static_cast<double>(d.m_nWaveTimeZoom),
            static_cast<double>(d.m_nWaveStartPos)};
}

} // namespace

bool SameSettings(const COlvexDoc& a, const COlvexDoc& b) {
    return SettingsRow(a) == SettingsRow(b);
}

int FilterTypeRadio(int filterType) {
    static const int kRadios[] = {resources::kIdcLpf, resources::kIdcHpf, resources::kIdcBrf,
                                  resources::kIdcBpf};
    return filterType >= 0 && filterType < 4 ? kRadios[filterType] : resources::kIdcLpf;
}

void Session::SelectForm(int filterType, bool iir) {
    m_host.ClickFormRadio(FilterTypeRadio(filterType));
    m_host.ClickFormRadio(iir ? resources::kIdcIir : resources::kIdcFir);
}

std::vector<Notice> Session::Press(int commandId) {
    m_view.OnCommand(commandId);
    return m_host.TakeNotices();
}

std::string Session::OutputText() const {
    std::string text;
    const std::string& box = m_view.m_strOutput;
    for (size_t i = 0; i < box.size(); ++i) {
        if (box[i] == '\r' && i + 1 < box.size() && box[i + 1] == '\n') {
            continue;
        }
        text += box[i];
    }
    return text;
}

} // namespace cli
