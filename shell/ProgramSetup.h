#pragma once

#include <QString>
#include <QStringList>

namespace velomar::settings {
class Settings;
}

namespace velomar::shell {

// Sets up a user's program folder: the folder itself, the archive templates copied from
// where the program was installed, and ProgramDir in the settings store. Shared by the
// first start of an installed program and by the per-user installation script.
class ProgramSetup {
public:
    // Templates every program folder starts from.
    static const QStringList& templateNames();

    // Where the templates may be, relative to the running executable: the installed tree
    // (<bindir>/../share/velomar) and the build tree (<build>/data); then the default
    // program folder, where a per-user installation put them.
    static QStringList templateCandidates();
    static QStringList templateCandidates(const QString& executableDir);

    // First candidate holding every template; "" when none does.
    static QString findTemplates(const QStringList& candidates);

    // $XDG_DATA_HOME/Velomar, usually ~/.local/share/Velomar.
    static QString defaultProgramFolder();

    struct Result {
        bool ok = false;
        QString programDir; // value stored in ProgramDir, with its final '/'
        QString error;      // Italian, with the cause, when !ok
    };

    // Creates the folder if missing, copies the templates it lacks from templateDir ("" to
    // copy none) and records the folder in the settings. Never replaces an existing file.
    static Result setUp(const QString& programFolder, const QString& templateDir,
                        settings::Settings& settings);
};

} // namespace velomar::shell
