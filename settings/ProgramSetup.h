#pragma once

#include <QString>
#include <QStringList>

namespace velomar::settings {

class Settings;

// Sets up a user's program folder: the folder itself, the archive templates copied from
// where the program was installed, and ProgramDir in the settings store. Shared by the
// first start of an installed program and by the per-user installation script.
class ProgramSetup {
public:
    // Program folder from the stored ProgramDir: the text less its last '/' and what
    // follows ("/opt/Velomar/" and "/opt/Velomar/velomar" give "/opt/Velomar"). A value
    // naming an existing folder without the final '/' is taken whole.
    static QString programFolderFrom(const QString& programDir);

    // Where a command or window finds a file of the program folder ("StatiEsteri.mdb"):
    // the user's program folder, else where the first start takes the templates from,
    // so a user who never opened the window is served too. "" when no folder has it.
    static QString programFile(const QString& name, const Settings& settings);

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
                        Settings& settings);
};

} // namespace velomar::settings
