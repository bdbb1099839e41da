#include "archive/ArchiveOpener.h"

#include "archive/ArchiveFile.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "archive/LikePattern.h"
#include "archive/OpenFeedback.h"
#include "archive/Recordset.h"
#include "settings/AppState.h"
#include "common/DialogService.h"

#include <sqlite3.h>

namespace velomar::archive {

namespace {

OpenFeedback& silent() {
    static OpenFeedback none;
    return none;
}

} // namespace

ArchiveOpener::ArchiveOpener(settings::AppState& state, common::DialogService& dialogs, OpenFeedback* feedback)
    : m_state(state), m_dialogs(dialogs), m_feedback(feedback) {}

ArchiveKind ArchiveOpener::kindOf(const QString& callerMode) {
    return callerMode == QLatin1String("Grup") ? ArchiveKind::Groups : ArchiveKind::Addresses;
}

void ArchiveOpener::openIn(Database& db, Recordset& rs, const QString& path, const QString& mode,
                           const QString& groupFilter) {
    const bool readOnly = mode == QLatin1String("Main");
    if (!readOnly && mode != QLatin1String("Edit") && mode != QLatin1String("Impo") && mode != QLatin1String("Grup"))
        throw DatabaseError(SQLITE_MISUSE, QStringLiteral("modalità di apertura sconosciuta: ") + mode);

    db = ArchiveFile::open(path, kindOf(mode), readOnly ? ArchiveFile::Access::ReadOnly : ArchiveFile::Access::ReadWrite);
    if (readOnly) {
        rs = Recordset::open(db, QStringLiteral("SELECT NR FROM TabMAIL"), LockType::ReadOnly);
    } else if (mode == QLatin1String("Edit")) {
        rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
    } else if (mode == QLatin1String("Grup")) {
        rs = Recordset::open(db, QStringLiteral("TabGRUPPI"), LockType::Optimistic);
    } else if (groupFilter == QLatin1String("**")) {
        rs = Recordset::open(db, QStringLiteral("SELECT * FROM TabMAIL"), LockType::Optimistic);
    } else {
        // A malformed pattern is the user's typo, told as such before SQLite sees it.
        (void)LikePattern::compile(groupFilter);
        // The group code is a value, never part of the SQL text.
        rs = Recordset::open(db, QStringLiteral("SELECT * FROM TabMAIL where GR like ?"), LockType::Optimistic,
                             {groupFilter});
    }
}

bool ArchiveOpener::open(Database& db, Recordset& rs, const QString& path, bool showWait,
                         const QString& groupFilter) {
    OpenFeedback& fb = m_feedback ? *m_feedback : silent();
    const QString mode = m_state.callerMode;
    if (showWait)
        fb.showWait(waitMessage(), QStringLiteral("kDRIVET"));
    fb.setArchiveImage(QStringLiteral("kDBopen"));
    fb.setBusy(true);

    QString failure;
    try {
        openIn(db, rs, path, mode, groupFilter);
    } catch (const std::exception& e) {
        failure = FailureText::of(e, path);
    }

    if (failure.isEmpty()) {
        fb.setArchiveImage(QStringLiteral("kDBclose"));
        fb.setBusy(false);
        if (showWait)
            fb.closeWait();
        return true;
    }

    // Failure steps: the slots are emptied, the windows go back to a state without this
    // archive, and the caller mode says "Erro".
    rs.close();
    db.close();
    fb.setBusy(false);
    if (showWait)
        fb.closeWait();
    m_dialogs.message(failure, common::MsgIcon::Critical);
    if (mode == QLatin1String("Main") || mode == QLatin1String("Edit"))
        fb.resetToNoArchive();
    if (mode == QLatin1String("Edit"))
        fb.unloadGrid();
    m_state.callerMode = QStringLiteral("Erro");
    return false;
}

} // namespace velomar::archive
