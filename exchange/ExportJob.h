#pragma once

#include "exchange/ExportFormat.h"

#include <QDate>
#include <QString>
#include <functional>

namespace velomar::archive {
class AddressSource;
}

namespace velomar::exchange {

class ExportWriter;

enum class ExportFileFormat { Text, Csv, VCard };

struct ExportRequest {
    ExportFileFormat format = ExportFileFormat::Text;
    FieldMask fields{};
    QString description;
    QDate date = QDate::currentDate();
};

struct ExportResult {
    qint64 addresses = 0;
    qsizetype replaced = 0; // characters written as '?'
};

// Writes the header and one block per address of the source (a text block, a CSV line or
// a card), in one pass; the writer is committed only when every block is written.
class ExportJob {
public:
    using Progress = std::function<void(qint64 done, qint64 total)>;

    static ExportResult run(archive::AddressSource& source, const ExportRequest& request,
                            ExportWriter& writer, const Progress& progress = {});
    // Same, to a file: the old file is replaced only when the new one is complete. Text is
    // written in Windows-1252, CSV in UTF-8 with a byte-order mark, vCard in UTF-8.
    static ExportResult toFile(archive::AddressSource& source, const ExportRequest& request,
                               const QString& target, const Progress& progress = {});
};

} // namespace velomar::exchange
