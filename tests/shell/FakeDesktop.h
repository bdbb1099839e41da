#pragma once

#include "shell/ShellCommands.h"

#include <QUrl>

namespace velomar::test {

// A desktop where only the named programs exist and every launch is recorded.
struct FakeDesktop {
    QStringList installed;
    bool fileManager = true;
    bool floppyReady = false;
    int runExit = 0;
    QList<QUrl> opened;
    QStringList started; // "program arg arg"
    QStringList ran;
    QStringList drivesAsked;

    shell::ShellCommands::Launcher launcher() {
        shell::ShellCommands::Launcher l;
        l.openUrl = [this](const QUrl& u) {
            opened << u;
            return fileManager;
        };
        l.start = [this](const QString& p, const QStringList& a) {
            started << (QStringList{p} + a).join(' ');
            return true;
        };
        l.run = [this](const QString& p, const QStringList& a) {
            ran << (QStringList{p} + a).join(' ');
            return runExit;
        };
        l.findExecutable = [this](const QString& n) {
            return installed.contains(n) ? "/usr/bin/" + n : QString();
        };
        l.driveReady = [this](const QString& d) {
            drivesAsked << d;
            return floppyReady;
        };
        return l;
    }
};

} // namespace velomar::test
