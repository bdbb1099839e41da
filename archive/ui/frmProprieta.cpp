#include "archive/ui/frmProprieta.h"

#include "archive/ArchiveProperties.h"
#include "archive/Compactor.h"
#include "archive/DateStamp.h"
#include "archive/FailureText.h"
#include "archive/Session.h"
#include "archive/ui/ArchiveHost.h"
#include "common/AppError.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "common/AppContext.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace velomar::archive::ui {

frmProprieta::frmProprieta(common::AppContext& context, ArchiveHost& host, QWidget* parent)
    : PropertiesLayout(parent), m_ctx(context), m_host(host) {
    setObjectName(QStringLiteral("frmProprieta"));
    setWindowTitle(QStringLiteral("Proprietà Archivio"));
    lblTITOLO = addLabel("lblTITOLO", true);
    lblCARTELLA = addLabel("lblCARTELLA");
    lblNumFileMdb = addLabel("lblNumFileMdb", false, QStringLiteral("Archivi nella cartella:"));
    lblTOTREC = addLabel("lblTOTREC");
    lblBYTES = addLabel("lblBYTES");
    lblDATAcre = addLabel("lblDATAcre");
    lblDATAacc = addLabel("lblDATAacc");
    lblDATAmod = addLabel("lblDATAmod");
    lblDefrag = addLabel("lblDefrag");
    lblInfo = addLabel("lblInfo");
    lblInfo->setWordWrap(true);
    finishLayout();
    connect(cmdDefrag, &QPushButton::clicked, this, &frmProprieta::cmdDefrag_Click);

    lblInfo->clear();
    if (!m_ctx.state.options.propertiesOnOpen())
        lblInfo->setText(ruleText());
    if (m_host.gridLoaded()) {
        cmdDefrag->hide();
        lblDefrag->setMinimumWidth(lblDATAmod->width());
        m_gridLoaded = true;
    }
    fillLabels();
}

void frmProprieta::fillLabels() {
    const QString path = m_ctx.state.currentArchivePath;
    const ArchiveProperties p = ArchiveProperties::read(
        path, m_ctx.state.lastDirArch, m_gridLoaded && m_ctx.session.mainDb.isOpen() ? &m_ctx.session.mainDb : nullptr);
    const QLocale it(QLocale::Italian, QLocale::Italy);
    lblTITOLO->setText(p.fileName);
    lblCARTELLA->setText(QDir::toNativeSeparators(p.folder));
    lblNumFileMdb->setText(it.toString(p.filesInFolder));
    lblTOTREC->setText(QStringLiteral("Nomi archiviati: ") + it.toString(m_ctx.state.archiveCount));
    lblBYTES->setText(ArchiveProperties::sizeLabel(p.bytes));
    lblDATAcre->setText(p.createdLabel());
    lblDATAacc->setText(p.lastReadLabel());
    lblDATAmod->setText(p.lastModifiedLabel());
    lblDefrag->setText(p.compactedLabel());
}

void frmProprieta::cmdDefrag_Click() {
    const QString path = m_ctx.state.currentArchivePath;
    if (m_ctx.session.mainDb.isOpen()) {
        // Replacing the file under an open connection would strand its writes.
        m_ctx.dialogs.message(QStringLiteral("Chiudere l'Archivio prima di compattarlo."), common::MsgIcon::Exclamation);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString failure;
    try {
        Compactor::compact(path, ArchiveKind::Addresses);
    } catch (const common::AppError& e) {
        failure = FailureText::cause(e, path);
    }
    QApplication::restoreOverrideCursor();
    if (!failure.isEmpty()) {
        m_ctx.dialogs.message(QStringLiteral("Compattazione non riuscita: l'Archivio è rimasto com'era.\r\n") + failure,
                              common::MsgIcon::Critical);
        return;
    }
    lblDefrag->setText(QStringLiteral("Ultima Compattazione Archivio: ") + DateStamp::text(QDate::currentDate()));
    m_ctx.dialogs.message(QStringLiteral("Defrag Archivio terminato."), common::MsgIcon::Information);
    fillLabels();
    m_host.setPanelText(2, m_host.sizeText(path));
    cmdChiudi->setFocus();
}

} // namespace velomar::archive::ui
