#pragma once

#include "archive/Database.h"
#include "archive/Recordset.h"

namespace velomar::archive {

// The program-wide database slots: the open archive's main connection and record set
// (owned in use by the address grid) and the groups archive's (owned in use by the
// groups window).
struct Session {
    Database mainDb;
    Recordset mainRs;
    Database groupsDb;
    Recordset groupsRs;

    bool mainOpen() const { return mainDb.isOpen() && mainRs.isOpen(); }
    void closeMain() {
        mainRs.close();
        mainDb.close();
    }
    void closeGroups() {
        groupsRs.close();
        groupsDb.close();
    }
};

} // namespace velomar::archive
