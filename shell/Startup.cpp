#include "shell/Startup.h"

#include "settings/AppState.h"
#include "common/DialogService.h"
#include "common/OutputGuard.h"
#include "common/Paths.h"
#include "exchange/AccessConverter.h"
#include "exchange/AccessReader.h"
#include "exchange/ExchangeError.h"
#include "settings/SetupIni.h"
#include "settings/ProgramSetup.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velomar::shell {

using common::MsgIcon;
using common::Paths;
using settings::ProgramSetup;

namespace {
const QString kNotInstalled =
    QStringLiteral("Applicazione NON TROVATA !\r\nReinstallare l'applicazione !");
} // namespace

bool Startup::createEmptyFile(const QString& path) {
    if (Paths::fileExists(path))
        return true;
    QFile file(path);
    // NewOnly: never truncates a file that appeared meanwhile.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    file.close();
    return true;
}

Startup::Outcome Startup::run(settings::AppState& state, settings::Settings& settings,
                              common::DialogService& dialogs) {
    return run(state, settings, dialogs, ProgramSetup::templateCandidates());
}

Startup::Outcome Startup::run(settings::AppState& state, settings::Settings& settings,
                              common::DialogService& dialogs, const QStringList& templateCandidates) {
    state.currentArchivePath.clear();
    state.system = common::SystemInfo::collect();

    std::optional<QString> programDir = settings.programDir();
    if (!programDir) {
        if (!settings.isUsable()) {
            dialogs.critical(QStringLiteral("Impossibile leggere le impostazioni del programma:\r\n") +
                             settings.fileName() + QStringLiteral("\r\n\r\n") + kNotInstalled);
            return Outcome::NotInstalled;
        }
        // First start of an installed program: the user's folder comes from its templates.
        const QString templates = ProgramSetup::findTemplates(templateCandidates);
        if (templates.isEmpty()) {
            dialogs.critical(kNotInstalled);
            return Outcome::NotInstalled;
        }
        const ProgramSetup::Result setUp =
            ProgramSetup::setUp(ProgramSetup::defaultProgramFolder(), templates, settings);
        if (!setUp.ok) {
            dialogs.critical(setUp.error + QStringLiteral("\r\n\r\n") + kNotInstalled);
            return Outcome::NotInstalled;
        }
        programDir = setUp.programDir;
    }

    const QString folder = ProgramSetup::programFolderFrom(*programDir);
    if (!QFileInfo(folder).isDir()) {
        dialogs.critical(QStringLiteral("La cartella dell'applicazione\r\n'") + folder +
                         QStringLiteral("'\r\nnon esiste o non è una cartella.\r\n") +
                         kNotInstalled);
        return Outcome::NoProgramFolder;
    }
    state.programDir = folder;
    common::OutputGuard::setProgramFolder(folder);
    state.exportDir = Paths::join(folder, QStringLiteral("Export"));
    state.stampeTipDir = Paths::join(folder, QStringLiteral("StampeTip"));
    state.stampeSngDir = Paths::join(folder, QStringLiteral("StampeSng"));
    state.setupIniPath = Paths::join(folder, QStringLiteral("Setup.ini"));
    state.loggerIniPath = Paths::join(folder, QStringLiteral("Logger.ini"));

    for (const QString& dir : {state.archivesDir(), state.stampeTipDir, state.stampeSngDir,
                               state.exportDir}) {
        // A file of that name counts as present, as the existence test says.
        if (!Paths::pathExists(dir) && !QDir().mkdir(dir))
            dialogs.critical(QStringLiteral("Impossibile creare la cartella '") + dir +
                             QStringLiteral("' !"));
    }

    const QString last = settings.lastDirArch();
    state.lastDirArch =
        (last.isEmpty() || !Paths::pathExists(last)) ? state.archivesDir() : last;

    state.options = settings.readOptions();

    for (const QString& file : {state.setupIniPath, state.loggerIniPath}) {
        if (!createEmptyFile(file))
            dialogs.critical(QStringLiteral("Impossibile creare il file '") + file +
                             QStringLiteral("' !"));
    }

    offerGroupsConversion(Paths::join(folder, QStringLiteral("Gruppi.grp")), dialogs);

    const settings::SetupIni::ReadResult senders = settings::SetupIni::read(state.setupIniPath);
    if (!senders.ok)
        dialogs.critical(senders.errorText());
    state.senders = senders.senders;
    return Outcome::Ready;
}

void Startup::offerGroupsConversion(const QString& groupsPath, common::DialogService& dialogs) {
    if (!exchange::AccessReader::isAccessFile(groupsPath))
        return;
    const QString name = QFileInfo(groupsPath).fileName();
    const QString backup = QFileInfo(exchange::AccessConverter::groupsBackupPath(groupsPath)).fileName();
    if (!dialogs.askYesNo(QStringLiteral("Il file dei gruppi «%1» è in formato Access. Convertirlo nel formato "
                                         "del programma? Il file originale viene conservato come «%2».")
                              .arg(name, backup)))
        return;
    try {
        exchange::AccessConverter::convertGroups(groupsPath);
    } catch (const exchange::ExchangeError& e) {
        dialogs.critical(e.description());
    }
}

void Startup::saveOnExit(const settings::AppState& state, settings::Settings& settings) {
    // An unreadable store is left as it is rather than replaced by what little was read.
    if (!settings.isUsable() || state.lastDirArch.isEmpty())
        return;
    settings.setLastDirArch(state.lastDirArch);
    settings.sync();
}

} // namespace velomar::shell
