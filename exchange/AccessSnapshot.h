#pragma once

#include "exchange/MdbFile.h"
#include "exchange/SourceTable.h"

#include <QString>

#include <memory>
#include <vector>

namespace velomar::exchange {

// What velomar-batch access-copy hands back from an Access database: a plain SQLite file
// with the format, every user table's name, fields and row count and, when asked, the
// rows of one table as text.
class AccessSnapshot {
public:
    // Reads source (and the rows of table unless empty) into a new file at out.
    // Throws ExchangeError.
    static void write(const MdbFile& source, const QString& table, const QString& out);

    struct Contents {
        QString format;
        std::vector<AccessTableInfo> tables;
    };
    static Contents read(const QString& path);

    // The copied rows; keep is held as long as the table (the folder of the file).
    static std::unique_ptr<SourceTable> rows(const QString& path, std::shared_ptr<void> keep);
};

} // namespace velomar::exchange
