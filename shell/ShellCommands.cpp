#include "shell/ShellCommands.h"

#include "common/DialogService.h"
#include "common/Paths.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace velomar::shell {

using common::MsgIcon;

bool ShellCommands::folderHandlerInstalled() {
    const QString mime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (mime.isEmpty())
        return true; // no registry to ask: let the desktop service try
    QProcess query;
    query.start(mime, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("inode/directory")});
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished(1000);
        return true;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

ShellCommands::Launcher ShellCommands::systemLauncher() {
    Launcher l;
    l.openUrl = [](const QUrl& url) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isDir() && !folderHandlerInstalled())
            return false;
        return QDesktopServices::openUrl(url);
    };
    l.start = [](const QString& program, const QStringList& args) {
        return QProcess::startDetached(program, args);
    };
    l.run = [](const QString& program, const QStringList& args) {
        return QProcess::execute(program, args);
    };
    l.findExecutable = [](const QString& name) { return QStandardPaths::findExecutable(name); };
    l.driveReady = [](const QString& drive) { return common::Paths::driveReady(drive); };
    return l;
}

ShellCommands::ShellCommands(common::DialogService& dialogs, Launcher launcher)
    : m_dialogs(dialogs), m_launcher(std::move(launcher)) {}

const QStringList& ShellCommands::searchTools() {
    static const QStringList tools = {QStringLiteral("catfish"),
                                      QStringLiteral("gnome-search-tool"),
                                      QStringLiteral("kfind"), QStringLiteral("searchmonkey")};
    return tools;
}

const QStringList& ShellCommands::systemInfoTools() {
    static const QStringList tools = {QStringLiteral("hardinfo"), QStringLiteral("hardinfo2"),
                                      QStringLiteral("kinfocenter"),
                                      QStringLiteral("gnome-system-monitor")};
    return tools;
}

QString ShellCommands::firstInstalled(const QStringList& programs) const {
    for (const QString& p : programs) {
        const QString path = m_launcher.findExecutable(p);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

void ShellCommands::openFolder(const QString& folder) {
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        m_dialogs.message(QStringLiteral("La cartella '") + folder +
                              QStringLiteral("' non esiste e non può essere creata."),
                          MsgIcon::Exclamation);
        return;
    }
    if (!m_launcher.openUrl(QUrl::fromLocalFile(folder)))
        m_dialogs.message(QStringLiteral("Impossibile aprire la cartella '") + folder +
                              QStringLiteral("':\r\nnessun gestore dei file disponibile."),
                          MsgIcon::Exclamation);
}

void ShellCommands::explore() { openFolder(QDir::homePath()); }

void ShellCommands::findFiles() {
    const QString tool = firstInstalled(searchTools());
    const QString home = QDir::homePath();
    if (!tool.isEmpty()) {
        QStringList args;
        const QString name = QFileInfo(tool).fileName();
        if (name == QLatin1String("catfish") || name == QLatin1String("gnome-search-tool"))
            args << QStringLiteral("--path=") + home;
        else
            args << home;
        if (m_launcher.start(tool, args))
            return;
    }
    m_dialogs.message(QStringLiteral("La ricerca dei file non è disponibile:\r\n"
                                     "nessun programma di ricerca (ad esempio \"catfish\") "
                                     "è installato.\r\n"
                                     "Si può cercare con il gestore dei file."),
                      MsgIcon::Information);
}

void ShellCommands::systemInformation() {
    const QString tool = firstInstalled(systemInfoTools());
    if (tool.isEmpty() || !m_launcher.start(tool, {}))
        m_dialogs.message(
            QStringLiteral("Le informazioni sul sistema non sono attualmente disponibili."),
            MsgIcon::Information);
}

void ShellCommands::formatFloppy(int driveOption) {
    const QString drive = driveLetter(driveOption);
    if (!m_launcher.driveReady(drive)) {
        m_dialogs.message(QStringLiteral("Il Drive [") + drive +
                              QStringLiteral("] non è pronto oppure\r\n"
                                             "il Floppy-Disk manca o è difettoso !"),
                          MsgIcon::Exclamation);
        return;
    }
    const QString device = common::Paths::floppyDevice(drive);
    // The desktop's disk tool asks its own confirmation before erasing.
    const QString disks = m_launcher.findExecutable(QStringLiteral("gnome-disks"));
    if (!disks.isEmpty() &&
        m_launcher.start(disks, {QStringLiteral("--block-device"), device,
                                 QStringLiteral("--format-device")}))
        return;
    const QString mkfs = m_launcher.findExecutable(QStringLiteral("mkfs.fat"));
    if (mkfs.isEmpty()) {
        m_dialogs.message(QStringLiteral("La formattazione dei Floppy-Disk non è disponibile:\r\n"
                                         "nessun programma di formattazione è installato."),
                          MsgIcon::Information);
        return;
    }
    const bool go = m_dialogs.askYesNo(QStringLiteral("Formattare il Floppy-Disk nel Drive [") +
                                           drive +
                                           QStringLiteral("] ?\r\n"
                                                          "Tutti i dati del disco andranno persi."),
                                       common::MsgResult::No);
    if (!go)
        return;
    const int code = m_launcher.run(mkfs, {QStringLiteral("-I"), device});
    if (code == 0)
        m_dialogs.info(QStringLiteral("Formattazione del Drive [") + drive +
                       QStringLiteral("] terminata."));
    else
        m_dialogs.critical(QStringLiteral("Formattazione del Drive [") + drive +
                           QStringLiteral("] non riuscita."));
}

} // namespace velomar::shell
