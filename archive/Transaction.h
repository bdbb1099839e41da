#pragma once

namespace velomar::archive {

class Database;

// BEGIN on construction; rolled back on destruction unless committed.
class Transaction {
public:
    enum class Kind { Deferred, Immediate };

    explicit Transaction(Database& db, Kind kind = Kind::Immediate);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();

    void commit();

private:
    Database& m_db;
    bool m_done = false;
};

} // namespace velomar::archive
