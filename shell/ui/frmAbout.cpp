#include "shell/ui/frmAbout.h"

#include "settings/AppState.h"
#include "common/ImageList.h"
#include "shell/ShellCommands.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velomar::shell::ui {

namespace {
const QString kProgram = QStringLiteral("Velomar");
} // namespace

QString frmAbout::systemText(const common::SystemInfo& info) {
    QStringList lines;
    lines << info.productName << info.productId;
    if (!info.versionText.isEmpty())
        lines << info.versionText;
    lines << QStringLiteral("Ver. ") + info.versionNumber;
    lines << QStringLiteral("Monitor ") + info.screenResolution + QStringLiteral(" (") +
                 info.screenDpi + QStringLiteral(" dpi)");
    return lines.join(QStringLiteral("\r\n"));
}

frmAbout::frmAbout(common::AppContext& context, ShellCommands& shell, QWidget* parent)
    : QDialog(parent), m_ctx(context), m_shell(shell) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Informazioni su ") + kProgram);
    setModal(true);

    auto* root = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    root->addLayout(top);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgIcon"));
    picture->setPixmap(common::ImageList::programIcon().pixmap(96, 96));
    picture->setAlignment(Qt::AlignTop);
    top->addWidget(picture);

    auto* texts = new QVBoxLayout;
    top->addLayout(texts, 1);
    lblTitle = new QLabel(kProgram, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 2.0);
    big.setBold(true);
    lblTitle->setFont(big);
    texts->addWidget(lblTitle);
    // Second title label: used as a drop shadow of the first would be; one title shows.
    lblTitleBis = new QLabel(kProgram, this);
    lblTitleBis->setObjectName(QStringLiteral("lblTitleBis"));
    lblTitleBis->hide();
    lblREV = new QLabel(QStringLiteral("Versione ") + QStringLiteral(VELOMAR_VERSION), this);
    lblREV->setObjectName(QStringLiteral("lblREV"));
    texts->addWidget(lblREV);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    texts->addWidget(line);
    QString system = systemText(m_ctx.state.system);
    system.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lblDatiWin = new QLabel(system, this);
    lblDatiWin->setObjectName(QStringLiteral("lblDatiWin"));
    lblDatiWin->setTextInteractionFlags(Qt::TextSelectableByMouse);
    texts->addWidget(lblDatiWin);
    // The comuni list is ISTAT's, whose licence asks for the credit.
    lblDati = new QLabel(QStringLiteral("Elenco dei comuni e delle province: ISTAT, licenza CC BY 3.0 IT. "
                                       "Comuni soppressi: archivio dei comuni ANPR, licenza CC BY 4.0."), this);
    lblDati->setObjectName(QStringLiteral("lblDati"));
    lblDati->setWordWrap(true);
    texts->addWidget(lblDati);
    texts->addStretch(1);

    auto* buttons = new QHBoxLayout;
    cmdSysInfo = new QPushButton(QStringLiteral("&Info di Sistema..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdOK = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(cmdSysInfo);
    buttons->addWidget(cmdOK);
    root->addLayout(buttons);
    // Enter closes the box: OK first in the tab order and focused when it opens.
    setTabOrder(cmdOK, cmdSysInfo);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { m_shell.systemInformation(); });
    setMinimumWidth(420);
}

} // namespace velomar::shell::ui
