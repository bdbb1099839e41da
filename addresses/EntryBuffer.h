#pragma once

#include "archive/AddressRecord.h"

#include <QString>

namespace velomar::addresses {

// The exchange area between the address grid and the entry form: one address as texts
// and the entry mode ("" after a cancelled form).
struct EntryBuffer {
    static inline const QString ModeNew = QStringLiteral("Nuovo Indirizzo");
    static inline const QString ModeModify = QStringLiteral("Modifica Indirizzo");
    static inline const QString ModeDelete = QStringLiteral("Elimina Indirizzo");

    archive::AddressRecord fields;
    QString mode;
};

} // namespace velomar::addresses
