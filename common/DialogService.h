#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace velomar::common {

// Icons of the program's message boxes: critical for failures, exclamation when there is
// nothing to work on or a value is refused, information for results, question for choices.
enum class MsgIcon { None, Critical, Exclamation, Information, Question };
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgResult { Ok, Cancel, Yes, No };

struct FileDialogOptions {
    QString title;
    QString folder;          // initial folder
    QString fileName;        // initial file name
    QString filter;          // "Tutti i file (*.*)|*.*|Archivio (*.mdb)|*.mdb|"
    int filterIndex = 1;     // 1-based, as the filter list is numbered
    QString defaultSuffix;   // ".mdb"
    bool confirmOverwrite = false;
};

// Every message box, input box and file dialog of the program goes through this
// interface, so that each window flow can be driven by a test.
class DialogService {
public:
    virtual ~DialogService() = default;

    // title empty means the program title "Velomar".
    virtual MsgResult message(const QString& text, MsgIcon icon = MsgIcon::None,
                              MsgButtons buttons = MsgButtons::Ok, const QString& title = {},
                              MsgResult defaultButton = MsgResult::Ok) = 0;

    // nullopt when the user cancels.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText = {}) = 0;

    virtual std::optional<QString> openFile(const FileDialogOptions& options) = 0;
    virtual std::optional<QString> saveFile(const FileDialogOptions& options) = 0;

    // Short helpers for the common shapes.
    void info(const QString& text, const QString& title = {}) {
        message(text, MsgIcon::Information, MsgButtons::Ok, title);
    }
    void warn(const QString& text, const QString& title = {}) {
        message(text, MsgIcon::Exclamation, MsgButtons::Ok, title);
    }
    void critical(const QString& text, const QString& title = {}) {
        message(text, MsgIcon::Critical, MsgButtons::Ok, title);
    }
    bool askYesNo(const QString& text, MsgResult defaultButton = MsgResult::Yes,
                  const QString& title = {}) {
        return message(text, MsgIcon::Question, MsgButtons::YesNo, title, defaultButton) ==
               MsgResult::Yes;
    }
};

} // namespace velomar::common
