#pragma once

#include "archive/Compactor.h"

namespace velomar::settings {
struct AppState;
}

namespace velomar::archive {

class ArchiveOpener;
class Database;
class Recordset;

// Compaction of the groups archive while the groups window holds it: the window's
// connection and record set are closed for the compaction and opened again (mode
// "Grup") whatever happened, so the window always gets them back. The reopened record
// set is in table order; the window re-applies its own sort.
class GroupsCompactor {
public:
    struct Outcome {
        bool compacted = false;
        bool reopened = false;
        QString error; // description of the compaction failure, "" when compacted
        Compactor::Result result;
    };

    static Outcome compact(const QString& path, Database& groupsDb, Recordset& groupsRs, ArchiveOpener& opener,
                           settings::AppState& state, const Compactor::StageHook& hook = {});
};

} // namespace velomar::archive
