#include "common/ui/GroupCodeEdit.h"

#include <QLineEdit>

namespace velomar::common::ui {

void applyGroupCodeRules(QLineEdit* edit) {
    edit->setMaxLength(2);
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& typed) {
        QString clean;
        for (const QChar c : typed) {
            const QChar u = c.toUpper();
            if ((u >= QLatin1Char('A') && u <= QLatin1Char('Z')) || (u >= QLatin1Char('0') && u <= QLatin1Char('9')))
                clean += u;
        }
        if (clean != typed) {
            const int cursor = edit->cursorPosition() - int(typed.size() - clean.size());
            edit->setText(clean);
            edit->setCursorPosition(std::max(0, cursor));
        }
    });
}

void completeGroupCode(QLineEdit* edit) {
    const QString code = edit->text().trimmed();
    if (code.size() == 1)
        edit->setText(code + code);
}

} // namespace velomar::common::ui
