#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace velomar::common {
class DialogService;
}

namespace velomar::shell {

// Commands handed to the desktop: folders in the file manager, file search, system
// information, floppy formatting. Every outside effect goes through the Launcher, so
// tests can watch what would be started.
class ShellCommands {
public:
    struct Launcher {
        std::function<bool(const QUrl&)> openUrl;                        // file manager
        std::function<bool(const QString&, const QStringList&)> start;   // detached program
        std::function<int(const QString&, const QStringList&)> run;      // waits; exit code
        std::function<QString(const QString&)> findExecutable;           // "" when missing
        std::function<bool(const QString&)> driveReady;                  // "a:" / "b:"
    };
    static Launcher systemLauncher();

    explicit ShellCommands(common::DialogService& dialogs, Launcher launcher = systemLauncher());

    // Opens a folder in the file manager; tells the user when that is not possible.
    void openFolder(const QString& folder);
    // "Esplora": the user's home folder (there is no single system drive to show).
    void explore();
    // "Trova": a desktop file-search program on the home folder.
    void findFiles();
    // The about box's system information: a desktop system-information program.
    void systemInformation();
    // "Formatta Floppy Disk" for option 22 (0 "a:", 1 "b:").
    void formatFloppy(int driveOption);

    // Whether the desktop registry names a program that opens folders. xdg-open starts
    // detached and tells a missing file manager only to its standard error, so the
    // system launcher asks this first.
    static bool folderHandlerInstalled();

    // Programs tried, in order, for each command.
    static const QStringList& searchTools();
    static const QStringList& systemInfoTools();

    static QString driveLetter(int driveOption) {
        return driveOption == 1 ? QStringLiteral("b:") : QStringLiteral("a:");
    }

private:
    QString firstInstalled(const QStringList& programs) const;

    common::DialogService& m_dialogs;
    Launcher m_launcher;
};

} // namespace velomar::shell
