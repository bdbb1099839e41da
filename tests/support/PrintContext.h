#pragma once

#include "support/RecordingProvider.h"
#include "support/ScriptedDialogs.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveFormat.h"
#include "archive/Recordset.h"
#include "archive/Session.h"
#include "archive/Statement.h"
#include "common/AppContext.h"
#include "printing/PrinterSelection.h"
#include "settings/AppState.h"
#include "settings/Settings.h"

#include <QDir>
#include <QTemporaryDir>

namespace velomar::test {

// What a print window stands on: a program folder with its reminder folders, scripted
// dialogs, recording printers and, once addresses are added, an open archive.
struct PrintContext {
    QTemporaryDir dir;
    settings::AppState state;
    ScriptedDialogs dialogs;
    settings::Settings settings;
    archive::Session session;
    printing::PrinterSelection printers;
    std::vector<printing::RecordingPrinter::Event> events;
    RecordingProvider* provider = nullptr; // the first printer
    common::AppContext ctx{state, dialogs, settings, session, printers};

    explicit PrintContext(const QStringList& printerNames = {QStringLiteral("Laser")}) {
        state.programDir = dir.path();
        state.stampeTipDir = dir.filePath("StampeTip");
        state.stampeSngDir = dir.filePath("StampeSng");
        QDir().mkpath(state.stampeTipDir);
        QDir().mkpath(state.stampeSngDir);
        for (const QString& name : printerNames) {
            auto p = std::make_unique<RecordingProvider>(name, &events, !provider);
            if (!provider)
                provider = p.get();
            printers.addProvider(std::move(p));
        }
    }

    // An address of ROMA (RM), not marked; the archive is made on the first one.
    void add(const QString& cognome, const QString& nome, const QString& cap, const QString& gr) {
        if (!session.mainDb.isOpen()) {
            const QString path = dir.filePath("prova.mdb");
            archive::ArchiveFormat::createEmpty(path, archive::ArchiveKind::Addresses);
            session.mainDb = archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses,
                                                        archive::ArchiveFile::Access::ReadWrite);
        }
        archive::Statement st(session.mainDb, "INSERT INTO TabMAIL (COGNOME, NOME1, CAP, CITTA, PROV, GR, SERV) "
                                              "VALUES (?, ?, ?, 'ROMA', 'RM', ?, 0)");
        st.bindText(1, cognome).bindText(2, nome).bindText(3, cap).bindText(4, gr);
        st.exec();
    }

    qint64 marked() {
        return archive::Recordset::open(session.mainDb, "SELECT NR FROM TabMAIL WHERE SERV = 1",
                                        archive::LockType::ReadOnly)
            .recordCount();
    }

    QStringList printed() const { return RecordingProvider::texts(events); }
};

} // namespace velomar::test
