#pragma once

#include "exchange/SourceTable.h"

#include <QChar>
#include <QString>
#include <functional>
#include <memory>

namespace velomar::exchange {

// What the user asked of a source; empty values let the reader find out by itself.
struct SourceOptions {
    enum class Header { Auto, Yes, No };

    QString table;    // the table of an Access database
    QString encoding; // "UTF-8", "UTF-16", "Windows-1252"
    QChar delimiter;  // null: detected
    Header header = Header::Auto;
};

// The reader for a file, chosen by its kind: CSV (.csv, .txt, .tsv), vCard (.vcf,
// .vcard), Access (.mdb, .accdb, recognised by the signature). Throws ExchangeError when
// no reader takes the file.
std::unique_ptr<SourceTable> openSource(const QString& path, const SourceOptions& options);

} // namespace velomar::exchange

namespace velomar::exchange {

// How windows and commands open a source; tests hand in tables of their own.
using SourceOpener =
    std::function<std::unique_ptr<SourceTable>(const QString&, const SourceOptions&)>;

} // namespace velomar::exchange
