#include "groups/ui/frmEditGrp.h"

#include "common/DialogService.h"
#include "groups/GroupsArchive.h"
#include "common/ui/GroupCodeEdit.h"

#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velomar::groups {

namespace {
constexpr int kDescriptionMax = 50;
}

frmEditGrp::frmEditGrp(common::DialogService& dialogs, const QString& title, const QString& code,
                       const QString& description, CodeTaken taken, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_startCode(code), m_taken(std::move(taken)) {
    setObjectName(QStringLiteral("frmEditGrp"));
    setWindowTitle(title);
    setModal(true);
    auto* frame = new QGroupBox(QStringLiteral("Dati Gruppo"), this);
    txtGRP = new QLineEdit(code, frame);
    txtGRP->setObjectName(QStringLiteral("txtGRP"));
    common::ui::applyGroupCodeRules(txtGRP);
    txtGRP->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("WWWW")) + 12);
    txtGRP->installEventFilter(this);
    txtDESC = new QLineEdit(description.left(kDescriptionMax), frame);
    txtDESC->setObjectName(QStringLiteral("txtDESC"));
    txtDESC->setMaxLength(kDescriptionMax);
    txtDESC->setMinimumWidth(fontMetrics().averageCharWidth() * 52);
    txtDESC->installEventFilter(this);
    cmdOK = new QPushButton(QStringLiteral("&Memorizza"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));

    auto* form = new QFormLayout(frame);
    form->addRow(new QLabel(QStringLiteral("Gruppo"), frame), txtGRP);
    form->addRow(new QLabel(QStringLiteral("Descrizione"), frame), txtDESC);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdChiudi);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(frame);
    outer->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmEditGrp::cmdOK_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &frmEditGrp::cmdChiudi_Click);
}

QString frmEditGrp::code() const { return txtGRP->text().trimmed(); }
QString frmEditGrp::description() const { return txtDESC->text(); }

bool frmEditGrp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == txtGRP || watched == txtDESC)) {
        auto* edit = static_cast<QLineEdit*>(watched);
        QTimer::singleShot(0, edit, [edit] {
            const QString trimmed = edit->text().trimmed();
            edit->setSelection(0, int(trimmed.size()));
        });
    } else if (event->type() == QEvent::FocusOut && watched == txtGRP && isVisible()) {
        txtGRP_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

bool frmEditGrp::txtGRP_LostFocus() {
    common::ui::completeGroupCode(txtGRP);
    const QString typed = code();
    if (!typed.isEmpty() && typed != m_startCode && m_taken && m_taken(typed)) {
        m_dialogs.warn(QStringLiteral("Gruppo esistente !"));
        txtGRP->setText(m_startCode);
        txtGRP->setFocus();
        return false;
    }
    return true;
}

void frmEditGrp::cmdOK_Click() {
    common::ui::completeGroupCode(txtGRP);
    if (const auto problem = GroupsArchive::codeProblem(code())) {
        m_dialogs.warn(*problem);
        txtGRP->setFocus();
        return;
    }
    if (code() != m_startCode && m_taken && m_taken(code())) {
        m_dialogs.warn(QStringLiteral("Gruppo esistente !"));
        txtGRP->setText(m_startCode);
        txtGRP->setFocus();
        return;
    }
    accept();
}

} // namespace velomar::groups
