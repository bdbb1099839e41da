#pragma once

#include "common/DialogService.h"

#include <QPointer>
#include <QWidget>

namespace velomar::common::ui {

// The program's message boxes, input boxes and file dialogs, with Italian buttons and
// the program title.
class QtDialogService : public DialogService {
public:
    explicit QtDialogService(QWidget* owner = nullptr) : m_owner(owner) {}

    // Window the boxes belong to when no window of the program is active.
    void setOwner(QWidget* owner) { m_owner = owner; }

    MsgResult message(const QString& text, MsgIcon icon, MsgButtons buttons,
                      const QString& title, MsgResult defaultButton) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<QString> openFile(const FileDialogOptions& options) override;
    std::optional<QString> saveFile(const FileDialogOptions& options) override;

    // "Archivio (*.mdb)|*.mdb|Tutti i file (*.*)|*.*|" -> Qt's name filter list.
    static QStringList nameFilters(const QString& filter);

private:
    QWidget* owner() const;
    std::optional<QString> fileDialog(const FileDialogOptions& options, bool save);

    QPointer<QWidget> m_owner;
};

} // namespace velomar::common::ui
