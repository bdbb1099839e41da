#include "archive/ui/ArchiveCommands.h"

#include "archive/ArchiveCreator.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "archive/Session.h"
#include "archive/ui/ArchiveHost.h"
#include "archive/ui/frmProprieta.h"
#include "common/AppError.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "common/AppContext.h"

#include <QDir>
#include <QFileInfo>

namespace velomar::archive::ui {

namespace {

QString folderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

} // namespace

ArchiveCommands::ArchiveCommands(common::AppContext& context, ArchiveHost& host, QObject* parent)
    : QObject(parent), m_ctx(context), m_host(host), m_feedback(host),
      m_opener(context.state, context.dialogs, &m_feedback) {}

ArchiveCommands::~ArchiveCommands() = default;

void ArchiveCommands::openArchive() {
    common::FileDialogOptions options;
    options.title = QStringLiteral("Apri Archivio");
    options.folder = m_ctx.state.lastDirArch;
    options.fileName = QString();
    options.filter = fileFilter();
    options.filterIndex = 2;
    options.defaultSuffix = QStringLiteral(".mdb");
    const std::optional<QString> chosen = m_ctx.dialogs.openFile(options);
    if (!chosen)
        return;
    QString path = chosen->trimmed();
    if (path.isEmpty())
        return;
    // Such a file is never one of ours (ours are SQLite files), so asking before the
    // open replaces its "not recognised" refusal.
    if (m_foreign.recognises && m_foreign.recognises(path)) {
        try {
            if (m_foreign.holdsArchive && !m_foreign.holdsArchive(path)) {
                offerImport(path);
                return;
            }
        } catch (const common::AppError& e) {
            m_ctx.dialogs.message(e.description(), common::MsgIcon::Critical);
            return;
        }
        const std::optional<QString> converted = convertForeign(path);
        if (!converted)
            return;
        path = *converted;
    }

    Session& session = m_ctx.session;
    m_ctx.state.callerMode = QStringLiteral("Main");
    if (!m_opener.open(session.mainDb, session.mainRs, path, true))
        return;

    m_ctx.state.lastDirArch = folderOf(path);
    m_ctx.state.currentArchivePath = path;
    m_ctx.state.archiveCount = session.mainRs.recordCount();
    m_host.setPanelImage(1, QStringLiteral("kDBclose"));
    m_host.setPanelText(1, QFileInfo(path).fileName());
    m_host.setPanelText(2, m_host.sizeText(path));
    m_host.setArchiveMenuEnabled(true);
    // The count is taken; the grid opens the archive again for itself.
    session.closeMain();

    if (m_ctx.state.options.propertiesOnOpen())
        showProperties();
    emit archiveOpened(path);
}

std::optional<QString> ArchiveCommands::convertForeign(const QString& path) {
    if (!m_ctx.dialogs.askYesNo(m_foreign.offer(path)))
        return std::nullopt;
    m_host.showWait(QStringLiteral("Conversione Archivio...!"), QStringLiteral("kDRIVET"));
    try {
        const QString converted = m_foreign.convert(path);
        m_host.closeWait();
        return converted;
    } catch (const common::AppError& e) {
        m_host.closeWait();
        m_ctx.dialogs.message(e.description(), common::MsgIcon::Critical);
    } catch (const std::exception& e) {
        m_host.closeWait();
        m_ctx.dialogs.message(FailureText::of(e, path), common::MsgIcon::Critical);
    }
    return std::nullopt;
}

void ArchiveCommands::offerImport(const QString& path) {
    const QString what = QStringLiteral("Il file «%1» è un database Access, ma non un archivio di indirizzi: "
                                        "non ha la tabella TabMAIL.\r\n")
                             .arg(QFileInfo(path).fileName());
    // The import window fills the open archive; without one there is nowhere to put them.
    if (!m_ctx.session.mainDb.isOpen() || !m_foreign.importFrom) {
        m_ctx.dialogs.message(what + QStringLiteral("Per importarne gli indirizzi aprire o creare un archivio, poi "
                                                    "scegliere «Importa da file…» nel menu Archivio."),
                              common::MsgIcon::Information);
        return;
    }
    if (m_ctx.dialogs.askYesNo(what + QStringLiteral("Aprirlo con «Importa da file…» per importarne gli indirizzi "
                                                     "nell'archivio aperto?")))
        m_foreign.importFrom(path);
}

void ArchiveCommands::createArchive() {
    const QString templatePath = QDir(m_ctx.state.programDir).filePath(ArchiveCreator::templateName());
    const QString missing = QStringLiteral("Il file 'NewMail.sys' non è stato trovato o è difettoso.\r\n"
                                           "Ripristinare il File in '") +
                            QDir::toNativeSeparators(m_ctx.state.programDir) + QStringLiteral("'.");
    if (!QFileInfo(templatePath).isFile()) {
        m_ctx.dialogs.message(missing, common::MsgIcon::Information);
        return;
    }

    common::FileDialogOptions options;
    options.title = QStringLiteral("Crea Nuovo Archivio");
    options.folder = m_ctx.state.lastDirArch;
    options.fileName = QString();
    options.filter = fileFilter();
    options.filterIndex = 2;
    options.defaultSuffix = QStringLiteral(".mdb");
    const std::optional<QString> chosen = m_ctx.dialogs.saveFile(options);
    if (!chosen)
        return;
    const QString path = chosen->trimmed();
    if (path.isEmpty())
        return;
    m_ctx.state.lastDirArch = folderOf(path);

    const QString exists = QStringLiteral("Il file ") + QFileInfo(path).fileName() +
                           QStringLiteral(" già esiste.\r\nRiprovare con un nuovo nome.");
    try {
        switch (ArchiveCreator::create(templatePath, path)) {
        case ArchiveCreator::Outcome::Created:
            break;
        case ArchiveCreator::Outcome::TemplateMissing:
            m_ctx.dialogs.message(missing, common::MsgIcon::Information);
            return;
        case ArchiveCreator::Outcome::TargetExists:
            m_ctx.dialogs.message(exists, common::MsgIcon::Information);
            return;
        }
    } catch (const DatabaseError& e) {
        // A template that is not a sound archive is as good as missing.
        if (e.code() == DatabaseError::NotAnArchive)
            m_ctx.dialogs.message(missing, common::MsgIcon::Information);
        else
            m_ctx.dialogs.message(FailureText::of(e), common::MsgIcon::Critical);
        return;
    }
    if (m_ctx.state.options.openAfterCreate())
        openArchive();
}

void ArchiveCommands::showProperties() {
    frmProprieta window(m_ctx, m_host, m_host.hostWindow());
    window.exec();
}

void ArchiveCommands::closeArchive() {
    if (m_host.gridLoaded()) {
        emit closeRequested();
        return;
    }
    m_ctx.session.closeMain();
    m_ctx.state.currentArchivePath.clear();
    m_host.setPanelImage(1, QString());
    m_host.clearPanels(1, 5);
    m_host.setArchiveMenuEnabled(false);
    m_host.setOpenCommandsEnabled(true);
}

} // namespace velomar::archive::ui
