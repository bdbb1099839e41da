#include "archive/ui/PropertiesLayout.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace velomar::archive::ui {

PropertiesLayout::PropertiesLayout(QWidget* parent) : QDialog(parent) {
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    m_facts = new QVBoxLayout(frame);
    m_facts->setSpacing(6);
    outer->addWidget(frame);

    cmdDefrag = new QPushButton(QStringLiteral("Com&patta Archivio"), this);
    cmdDefrag->setObjectName(QStringLiteral("cmdDefrag"));
    cmdChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdDefrag);
    buttons->addStretch();
    buttons->addWidget(cmdChiudi);
    outer->addLayout(buttons);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

QLabel* PropertiesLayout::addLabel(const char* name, bool bold, const QString& caption) {
    auto* label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (bold) {
        QFont f = label->font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * 1.2);
        label->setFont(f);
    }
    if (caption.isEmpty()) {
        m_facts->addWidget(label);
        return label;
    }
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(caption, this));
    row->addWidget(label);
    row->addStretch();
    m_facts->addLayout(row);
    return label;
}

void PropertiesLayout::finishLayout() {
    setMinimumWidth(460);
    cmdChiudi->setDefault(true);
}

} // namespace velomar::archive::ui
