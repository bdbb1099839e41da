#pragma once

#include "addresses/AddressCheck.h"

#include <QList>

namespace velomar::archive {
class Database;
}

namespace velomar::addresses {

// The address check over a whole archive: the window "Verifica indirizzi", the import
// summary and velomar-batch check all read and correct through here.
class ArchiveCheck {
public:
    struct Suspect {
        qint64 nr = 0;
        QString cognome; // to tell the address in a list
        AddressCheck::Place place;
        AddressCheck::Finding finding;
    };
    struct Counts {
        qint64 checked = 0; // Italian addresses
        qint64 foreign = 0;
        qint64 suspects = 0; // disagreeing, localities not counted
        qint64 localities = 0;
    };

    // Italian addresses that disagree and those in a place that is no comune, in NR order;
    // only addresses with NR > afterNr (0: all).
    static QList<Suspect> scan(archive::Database& db, const AddressCheck& check, Counts* counts = nullptr,
                               qint64 afterNr = 0);
    // Writes the proposals of the given addresses in one transaction (an address changed
    // since the scan is left as it is); returns how many were changed.
    static int apply(archive::Database& db, const QList<Suspect>& chosen);
};

} // namespace velomar::addresses
