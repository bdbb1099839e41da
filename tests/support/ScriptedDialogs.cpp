#include "ScriptedDialogs.h"

namespace velomar::test {

using common::MsgButtons;
using common::MsgResult;

namespace {
// The next scripted answer, or what an unscripted box gives.
template <typename T> T next(std::deque<T>& answers, T unscripted) {
    if (answers.empty())
        return unscripted;
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}
} // namespace

MsgResult ScriptedDialogs::message(const QString& text, common::MsgIcon icon, MsgButtons buttons,
                                   const QString& title, MsgResult defaultButton) {
    m_shown.push_back({Shown::Kind::Message, text, icon, buttons, title, {}, defaultButton});
    return next(m_messages, buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok);
}

std::optional<QString> ScriptedDialogs::inputBox(const QString& prompt, const QString& title,
                                                 const QString& defaultText) {
    m_shown.push_back({Shown::Kind::Input, prompt, common::MsgIcon::None, MsgButtons::OkCancel,
                       title, defaultText});
    return next(m_inputs, std::optional<QString>(defaultText));
}

std::optional<QString> ScriptedDialogs::openFile(const common::FileDialogOptions& options) {
    m_shown.push_back({Shown::Kind::Open, options.title, common::MsgIcon::None,
                       MsgButtons::OkCancel, options.title, options.folder});
    return next(m_files, std::optional<QString>());
}

std::optional<QString> ScriptedDialogs::saveFile(const common::FileDialogOptions& options) {
    m_shown.push_back({Shown::Kind::Save, options.title, common::MsgIcon::None,
                       MsgButtons::OkCancel, options.title, options.folder});
    return next(m_files, std::optional<QString>());
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
