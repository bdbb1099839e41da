#include "ScriptedDialogs.h"

namespace velomar::test {

using common::MsgButtons;
using common::MsgResult;

MsgResult ScriptedDialogs::message(const QString& text, common::MsgIcon icon, MsgButtons buttons,
                                   const QString& title, MsgResult defaultButton) {
    m_shown.push_back({Shown::Kind::Message, text, icon, buttons, title, {}, defaultButton});
    if (!m_messages.empty()) {
        const MsgResult r = m_messages.front();
        m_messages.pop_front();
        return r;
    }
    return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
}

std::optional<QString> ScriptedDialogs::inputBox(const QString& prompt, const QString& title,
                                                 const QString& defaultText) {
    m_shown.push_back({Shown::Kind::Input, prompt, common::MsgIcon::None, MsgButtons::OkCancel,
                       title, defaultText});
    if (m_inputs.empty())
        return defaultText;
    auto r = m_inputs.front();
    m_inputs.pop_front();
    return r;
}

std::optional<QString> ScriptedDialogs::openFile(const common::FileDialogOptions& options) {
    m_shown.push_back({Shown::Kind::Open, options.title, common::MsgIcon::None,
                       MsgButtons::OkCancel, options.title, options.folder});
    if (m_files.empty())
        return std::nullopt;
    auto r = m_files.front();
    m_files.pop_front();
    return r;
}

std::optional<QString> ScriptedDialogs::saveFile(const common::FileDialogOptions& options) {
    m_shown.push_back({Shown::Kind::Save, options.title, common::MsgIcon::None,
                       MsgButtons::OkCancel, options.title, options.folder});
    if (m_files.empty())
        return std::nullopt;
    auto r = m_files.front();
    m_files.pop_front();
    return r;
}

std::vector<QString> ScriptedDialogs::messages() const {
    std::vector<QString> out;
    for (const auto& s : m_shown)
        if (s.kind == Shown::Kind::Message)
            out.push_back(s.text);
    return out;
}

QString ScriptedDialogs::lastMessage() const {
    for (auto it = m_shown.rbegin(); it != m_shown.rend(); ++it)
        if (it->kind == Shown::Kind::Message)
            return it->text;
    return {};
}

} // namespace velomar::test
