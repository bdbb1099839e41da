#include "settings/ProgramSetup.h"

#include "common/Paths.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace velomar::settings {

using common::Paths;

const QStringList& ProgramSetup::templateNames() {
    static const QStringList names{QStringLiteral("NewMail.sys"), QStringLiteral("NewGruppi.sys"),
                                   QStringLiteral("StatiEsteri.mdb")};
    return names;
}

QString ProgramSetup::programFolderFrom(const QString& programDir) {
    QString value = programDir.left(255);
    if (!value.endsWith(QLatin1Char('/')) && QFileInfo(value).isDir())
        return value;
    const qsizetype slash = value.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return value;
    if (slash == 0)
        return QStringLiteral("/");
    return value.left(slash);
}

QString ProgramSetup::programFile(const QString& name, const Settings& settings) {
    QStringList places;
    if (const auto dir = settings.programDir())
        places << programFolderFrom(*dir);
    places << templateCandidates();
    for (const QString& dir : places) {
        const QString path = Paths::join(dir, name);
        if (!dir.isEmpty() && QFileInfo(path).isFile())
            return path;
    }
    return {};
}

QStringList ProgramSetup::templateCandidates() {
    // A per-user installation keeps its templates in the program folder itself, so losing
    // the settings there does not end the program.
    return templateCandidates(QCoreApplication::applicationDirPath()) << defaultProgramFolder();
}

QStringList ProgramSetup::templateCandidates(const QString& executableDir) {
    // Relative to the executable, so an unpacked package and a build tree both work.
    const QDir dir(executableDir);
    return {QDir::cleanPath(dir.filePath(QStringLiteral("../share/velomar"))),
            QDir::cleanPath(dir.filePath(QStringLiteral("data")))};
}

QString ProgramSetup::findTemplates(const QStringList& candidates) {
    for (const QString& dir : candidates) {
        bool all = !dir.isEmpty();
        for (const QString& name : templateNames())
            all = all && QFileInfo(Paths::join(dir, name)).isFile();
        if (all)
            return dir;
    }
    return {};
}

QString ProgramSetup::defaultProgramFolder() {
    return Paths::join(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                       QStringLiteral("Velomar"));
}

ProgramSetup::Result ProgramSetup::setUp(const QString& programFolder, const QString& templateDir,
                                         Settings& settings) {
    Result result;
    const QString folder = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        result.error = QStringLiteral("Impossibile creare la cartella '") + folder + QStringLiteral("' !");
        return result;
    }
    if (!templateDir.isEmpty()) {
        for (const QString& name : templateNames()) {
            const QString target = Paths::join(folder, name);
            // A template the user already has (or anything of that name) stays as it is;
            // QFile::copy writes a temporary file and renames it without replacing.
            if (Paths::pathExists(target))
                continue;
            QFile source(Paths::join(templateDir, name));
            if (!source.copy(target)) {
                result.error = QStringLiteral("Impossibile copiare il modello '") + name +
                               QStringLiteral("' in '") + folder + QStringLiteral("': ") +
                               source.errorString();
                return result;
            }
        }
    }
    // Stored with its final separator: the program folder is what precedes the last one.
    result.programDir = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    if (!settings.isUsable()) {
        result.error = QStringLiteral("Impossibile leggere le impostazioni: ") + settings.fileName();
        return result;
    }
    if (settings.programDir() != result.programDir) {
        settings.setProgramDir(result.programDir);
        settings.sync();
        if (!settings.isUsable()) {
            result.error = QStringLiteral("Impossibile salvare le impostazioni: ") + settings.fileName();
            return result;
        }
    }
    result.ok = true;
    return result;
}

} // namespace velomar::settings
