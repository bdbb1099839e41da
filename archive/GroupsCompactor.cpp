#include "archive/GroupsCompactor.h"

#include "archive/ArchiveOpener.h"
#include "archive/Database.h"
#include "archive/Recordset.h"
#include "common/AppError.h"
#include "settings/AppState.h"

namespace velomar::archive {

GroupsCompactor::Outcome GroupsCompactor::compact(const QString& path, Database& groupsDb, Recordset& groupsRs,
                                                  ArchiveOpener& opener, settings::AppState& state,
                                                  const Compactor::StageHook& hook) {
    Outcome outcome;
    groupsRs.close();
    groupsDb.close();
    try {
        outcome.result = Compactor::compact(path, ArchiveKind::Groups, hook);
        outcome.compacted = true;
    } catch (const common::AppError& e) {
        outcome.error = e.description();
    } catch (const std::exception& e) {
        outcome.error = QString::fromLocal8Bit(e.what());
    }
    state.callerMode = QStringLiteral("Grup");
    outcome.reopened = opener.open(groupsDb, groupsRs, path, false);
    return outcome;
}

} // namespace velomar::archive
