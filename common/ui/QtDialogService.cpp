#include "common/ui/QtDialogService.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace velomar::common::ui {

namespace {
const QString kProgramTitle = QStringLiteral("Velomar");

QString titleOr(const QString& title) { return title.isEmpty() ? kProgramTitle : title; }

// Message texts use CR LF line breaks; Qt wants plain LF.
QString plain(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}
} // namespace

QWidget* QtDialogService::owner() const {
    // The window the user is working in: a box owned by the main window would bring it
    // to the front and leave the focus there when it closes.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return m_owner;
}

MsgResult QtDialogService::message(const QString& text, MsgIcon icon, MsgButtons buttons,
                                   const QString& title, MsgResult defaultButton) {
    QMessageBox box(owner());
    box.setWindowTitle(titleOr(title));
    box.setText(plain(text));
    switch (icon) {
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    switch (buttons) {
    case MsgButtons::Ok:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setEscapeButton(ok);
        break;
    case MsgButtons::OkCancel:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        cancel = box.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
        break;
    case MsgButtons::YesNo:
        yes = box.addButton(QStringLiteral("&Sì"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setEscapeButton(no);
        break;
    }
    switch (defaultButton) {
    case MsgResult::Ok:
        if (ok)
            box.setDefaultButton(ok);
        break;
    case MsgResult::Cancel:
        if (cancel)
            box.setDefaultButton(cancel);
        break;
    case MsgResult::Yes:
        if (yes)
            box.setDefaultButton(yes);
        break;
    case MsgResult::No:
        if (no)
            box.setDefaultButton(no);
        break;
    }
    if (buttons == MsgButtons::YesNo && !box.defaultButton())
        box.setDefaultButton(yes);

    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();

    QAbstractButton* clicked = box.clickedButton();
    if (clicked == yes && yes)
        return MsgResult::Yes;
    if (clicked == no && no)
        return MsgResult::No;
    if (clicked == cancel && cancel)
        return MsgResult::Cancel;
    if (clicked == ok && ok)
        return MsgResult::Ok;
    // Closed from the title bar: the escape answer.
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::OkCancel:
        return MsgResult::Cancel;
    case MsgButtons::YesNo:
        return MsgResult::No;
    }
    return MsgResult::Cancel;
}

std::optional<QString> QtDialogService::inputBox(const QString& prompt, const QString& title,
                                                 const QString& defaultText) {
    QInputDialog dialog(owner());
    dialog.setWindowTitle(titleOr(title));
    dialog.setLabelText(plain(prompt));
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annulla"));
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QStringList QtDialogService::nameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts.at(i).trimmed();
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*"); // files without a dot are files too
        }
        if (name.isEmpty() || patterns.isEmpty())
            continue;
        name.remove(trailingPatterns);
        out << name + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

std::optional<QString> QtDialogService::fileDialog(const FileDialogOptions& options, bool save) {
    QFileDialog dialog(owner(), titleOr(options.title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    const QStringList filters = nameFilters(options.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = options.filterIndex - 1;
        if (index >= 0 && index < filters.size())
            dialog.selectNameFilter(filters.at(index));
    }
    QString suffix = options.defaultSuffix;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    if (!suffix.isEmpty())
        dialog.setDefaultSuffix(suffix);
    if (!options.folder.isEmpty() && QDir(options.folder).exists())
        dialog.setDirectory(options.folder);
    if (!options.fileName.isEmpty())
        dialog.selectFile(options.fileName);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Cerca in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Nome file:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Tipo file:"));
    dialog.setLabelText(QFileDialog::Accept, save ? QStringLiteral("&Salva") : QStringLiteral("&Apri"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Annulla"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.first();
}

std::optional<QString> QtDialogService::openFile(const FileDialogOptions& options) {
    return fileDialog(options, false);
}

std::optional<QString> QtDialogService::saveFile(const FileDialogOptions& options) {
    return fileDialog(options, true);
}

} // namespace velomar::common::ui
