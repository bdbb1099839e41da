#include "archive/ui/frmProprietaGr.h"

#include "archive/ArchiveOpener.h"
#include "archive/ArchiveProperties.h"
#include "archive/GroupsCompactor.h"
#include "archive/Session.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "common/AppContext.h"

#include <QApplication>
#include <QDir>
#include <QLocale>

namespace velomar::archive::ui {

frmProprietaGr::frmProprietaGr(common::AppContext& context, qint64 groupCount, QWidget* parent)
    : PropertiesLayout(parent), m_ctx(context), m_groupCount(groupCount) {
    setObjectName(QStringLiteral("frmProprietaGr"));
    setWindowTitle(QStringLiteral("Proprietà Archivio Gruppi"));
    auto* title = addLabel("lblTITOLO", true);
    title->setText(QStringLiteral("Gruppi.grp"));
    lblTOTREC = addLabel("lblTOTREC");
    lblBYTES = addLabel("lblBYTES");
    lblDATAcre = addLabel("lblDATAcre");
    lblDATAacc = addLabel("lblDATAacc");
    lblDATAmod = addLabel("lblDATAmod");
    lblDefrag = addLabel("lblDefrag");
    finishLayout();
    connect(cmdDefrag, &QPushButton::clicked, this, &frmProprietaGr::cmdDefrag_Click);
    fillLabels();
}

QString frmProprietaGr::groupsPath() const { return QDir(m_ctx.state.programDir).filePath(QStringLiteral("Gruppi.grp")); }

void frmProprietaGr::fillLabels() {
    Database& db = m_ctx.session.groupsDb;
    ArchiveProperties p;
    if (db.isOpen()) {
        p = ArchiveProperties::readGroups(groupsPath(), db);
    } else {
        p = ArchiveProperties::read(groupsPath(), m_ctx.state.programDir, nullptr);
        p.created.reset();
        p.compacted.reset();
    }
    lblTOTREC->setText(QStringLiteral("Totale Gruppi archiviati: ") +
                       QLocale(QLocale::Italian, QLocale::Italy).toString(m_groupCount));
    lblBYTES->setText(ArchiveProperties::sizeLabel(p.bytes));
    lblDATAcre->setText(p.createdLabel());
    lblDATAacc->setText(p.lastReadLabel());
    lblDATAmod->setText(p.lastModifiedLabel());
    lblDefrag->setText(p.compactedLabel());
}

bool frmProprietaGr::showModal(common::AppContext& context, qint64 groupCount, QWidget* parent) {
    frmProprietaGr window(context, groupCount, parent);
    window.exec();
    return context.session.groupsRs.isOpen();
}

void frmProprietaGr::cmdDefrag_Click() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ArchiveOpener opener(m_ctx.state, m_ctx.dialogs);
    const GroupsCompactor::Outcome outcome =
        GroupsCompactor::compact(groupsPath(), m_ctx.session.groupsDb, m_ctx.session.groupsRs, opener, m_ctx.state);
    fillLabels();
    QApplication::restoreOverrideCursor();
    emit groupsReopened(outcome.reopened);
    if (outcome.compacted)
        m_ctx.dialogs.message(QStringLiteral("Defrag Archivio terminato."), common::MsgIcon::Information);
    else
        m_ctx.dialogs.message(QStringLiteral("Compattazione non riuscita: l'Archivio è rimasto com'era.\r\n") +
                                  outcome.error,
                              common::MsgIcon::Critical);
    cmdChiudi->setFocus();
}

} // namespace velomar::archive::ui
