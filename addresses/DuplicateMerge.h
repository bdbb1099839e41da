#pragma once

#include "archive/AddressRecord.h"

#include <vector>

namespace velomar::archive {
class Database;
}

namespace velomar::addresses {

// Turning a group of duplicates into one address.
class DuplicateMerge {
public:
    // The group's addresses, in the order of nrs; an NR no longer there is left out.
    static std::vector<archive::AddressRecord> load(archive::Database& db, const std::vector<qint64>& nrs);

    // The value proposed for each field: the longer one, the newer (higher NR) when as
    // long; NOTE and APPUNTI of every address joined, each text once. NR is the first's.
    static archive::AddressRecord proposal(const std::vector<archive::AddressRecord>& records);

    // One transaction: kept's fields written into its row (kept[NR]), the others deleted
    // and forgotten by NotDuplicates. A failure leaves the archive as it was.
    static void merge(archive::Database& db, const archive::AddressRecord& kept, const std::vector<qint64>& removed);
};

} // namespace velomar::addresses
