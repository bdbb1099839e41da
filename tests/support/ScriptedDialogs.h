#pragma once

#include "common/DialogService.h"

#include <QString>
#include <deque>
#include <optional>
#include <vector>

namespace velomar::test {

// A DialogService that answers from a script and records every box shown.
class ScriptedDialogs : public common::DialogService {
public:
    struct Shown {
        enum class Kind { Message, Input, Open, Save } kind;
        QString text; // message text, input prompt or dialog title
        common::MsgIcon icon = common::MsgIcon::None;
        common::MsgButtons buttons = common::MsgButtons::Ok;
        QString title;
        QString defaultText; // input default / dialog folder
        common::MsgResult defaultButton = common::MsgResult::Ok; // messages only
    };

    // Answers are used in order; a message with no scripted answer gets Ok/Yes.
    void answerMessage(common::MsgResult result) { m_messages.push_back(result); }
    void answerInput(std::optional<QString> text) { m_inputs.push_back(std::move(text)); }
    void answerFile(std::optional<QString> path) { m_files.push_back(std::move(path)); }

    common::MsgResult message(const QString& text, common::MsgIcon icon,
                              common::MsgButtons buttons, const QString& title,
                              common::MsgResult defaultButton) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<QString> openFile(const common::FileDialogOptions& options) override;
    std::optional<QString> saveFile(const common::FileDialogOptions& options) override;

    const std::vector<Shown>& shown() const { return m_shown; }
    // Texts of the message boxes only, in order.
    std::vector<QString> messages() const;
    QString lastMessage() const;
    void clear() { m_shown.clear(); }
    bool allAnswersUsed() const { return m_messages.empty() && m_inputs.empty() && m_files.empty(); }

private:
    std::deque<common::MsgResult> m_messages;
    std::deque<std::optional<QString>> m_inputs;
    std::deque<std::optional<QString>> m_files;
    std::vector<Shown> m_shown;
};

} // namespace velomar::test
