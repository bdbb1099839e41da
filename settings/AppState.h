#pragma once

#include "common/SystemInfo.h"
#include "settings/Options.h"
#include "settings/SenderLines.h"

#include <QString>

namespace velomar::settings {

// The one program-wide state object, owned by the main window and passed to the windows
// and jobs that read it.
struct AppState {
    // Folders (native separators, no trailing separator).
    QString programDir;
    QString exportDir;    // programDir/Export
    QString stampeTipDir; // programDir/StampeTip
    QString stampeSngDir; // programDir/StampeSng
    QString lastDirArch;
    QString setupIniPath;  // programDir/Setup.ini
    QString loggerIniPath; // programDir/Logger.ini

    // Operating system, screen and temporary folder, read at start-up.
    common::SystemInfo system;

    QString currentArchivePath; // "" when no archive is open
    qint64 archiveCount = 0;    // rows of TabMAIL
    qint64 displayedCount = 0;  // rows shown by the address grid

    // "Main", "Edit", "Impo", "Grup", or "Erro" after a failed open.
    QString callerMode;

    Options options;
    SenderLines senders;

    // Summary window input: caption padded to 11 characters, and the field.
    QString summaryTitle;
    QString summaryField;

    QString archivesDir() const { return programDir + QStringLiteral("/Archivi"); }
};

} // namespace velomar::settings
