#pragma once

#include "archive/ArchiveFormat.h"
#include "archive/FailureText.h"

#include <QString>

namespace velomar::common {
class DialogService;
} // namespace velomar::common
namespace velomar::settings {
struct AppState;
}

namespace velomar::archive {

class Database;
class OpenFeedback;
class Recordset;

// The one routine that opens every archive. The caller mode in the program-wide state
// chooses access and row source:
//   "Main"  read-only, "SELECT NR FROM TabMAIL"  (the open command's count)
//   "Edit"  read/write, "TabMAIL"                 (the address grid)
//   "Impo"  read/write, every row or one group's  (the import window's source)
//   "Grup"  read/write, "TabGRUPPI"               (the groups window)
// A failure shows its cause ("Archivio non riconosciuto o corrotto !" for a file that is
// not ours; in use, damaged, missing, forbidden otherwise), leaves both slots closed,
// sets the caller mode to "Erro" and returns false. Callers should rely on the result:
// the caller mode is program-wide and may still say "Erro" from someone else's open.
class ArchiveOpener {
public:
    ArchiveOpener(settings::AppState& state, common::DialogService& dialogs, OpenFeedback* feedback = nullptr);

    bool open(Database& db, Recordset& rs, const QString& path, bool showWait,
              const QString& groupFilter = QString());

    static QString refusedMessage() { return FailureText::notAnArchive(); }
    static QString waitMessage() { return QStringLiteral("Lettura Archivio...!"); }

    // The kind of file a caller mode opens (Groups for "Grup", else Addresses).
    static ArchiveKind kindOf(const QString& callerMode);

private:
    void openIn(Database& db, Recordset& rs, const QString& path, const QString& mode,
                const QString& groupFilter);

    settings::AppState& m_state;
    common::DialogService& m_dialogs;
    OpenFeedback* m_feedback;
};

} // namespace velomar::archive
