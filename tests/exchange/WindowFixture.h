#pragma once

#include "support/ArchiveFixture.h"
#include "archive/Recordset.h"
#include "archive/Session.h"
#include "settings/AppState.h"
#include "printing/PrinterSelection.h"
#include "settings/Settings.h"
#include "common/AppContext.h"
#include "support/ScriptedDialogs.h"

#include <QTemporaryDir>
#include <memory>

namespace velomar::test {

// An open archive of n addresses in the main slots, scripted dialogs and a PDF printer:
// what the report and exchange windows are handed by the main window.
struct WindowFixture {
    QTemporaryDir dir;
    settings::AppState state;
    ScriptedDialogs dialogs;
    settings::Settings settings;
    archive::Session session;
    printing::PrinterSelection printers;
    std::unique_ptr<common::AppContext> context;

    explicit WindowFixture(int addresses = 10) {
        state.currentArchivePath = dir.filePath("attuale.mdb");
        state.exportDir = dir.path();
        state.lastDirArch = dir.path();
        createTestArchive(state.currentArchivePath);
        session.mainDb = archive::Database(state.currentArchivePath, archive::Database::Mode::ReadWrite);
        session.mainDb.exec("BEGIN");
        for (int i = 0; i < addresses; ++i) {
            archive::AddressRecord r;
            r[2] = QStringLiteral("Cognome%1").arg(addresses - i, 2, 10, QLatin1Char('0'));
            r[7] = i % 2 ? QStringLiteral("Milano") : QStringLiteral("Roma");
            r[14] = i % 3 ? QStringLiteral("AB") : QString();
            addTestAddress(session.mainDb, r);
        }
        session.mainDb.exec("COMMIT");
        session.mainRs = archive::Recordset::open(session.mainDb, "TabMAIL", archive::LockType::Optimistic);
        state.archiveCount = state.displayedCount = addresses;
        printers.addProvider(std::make_unique<printing::PdfPrinterProvider>());
        context = contextWith(printers);
    }

    common::AppContext& ctx() { return *context; }

    std::unique_ptr<common::AppContext> contextWith(printing::PrinterSelection& choice) {
        return std::unique_ptr<common::AppContext>(
            new common::AppContext{state, dialogs, settings, session, choice});
    }
};

} // namespace velomar::test
