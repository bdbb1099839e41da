#include "exchange/ExportJob.h"

#include "archive/AddressRecord.h"
#include "exchange/CsvExport.h"
#include "exchange/ExportWriter.h"
#include "exchange/VCardExport.h"

namespace velomar::exchange {

ExportResult ExportJob::run(archive::AddressSource& source, const ExportRequest& request,
                            ExportWriter& writer, const Progress& progress) {
    ExportResult result;
    if (request.format == ExportFileFormat::Text)
        writer.writeLines(ExportFormat::header(request.date, request.description));
    else if (request.format == ExportFileFormat::Csv)
        writer.writeLines({CsvExport::header(request.fields)});
    const qint64 total = source.count();
    if (progress)
        progress(0, total);
    archive::AddressRecord record;
    QString block; // reused: one allocation for the whole file
    while (source.next(record)) {
        block.resize(0); // keeps the capacity, unlike clear()
        switch (request.format) {
        case ExportFileFormat::Text:
            ExportFormat::appendBlock(block, record, request.fields);
            break;
        case ExportFileFormat::Csv:
            CsvExport::appendRow(block, record, request.fields);
            break;
        case ExportFileFormat::VCard:
            VCardExport::appendCard(block, record, request.fields);
            break;
        }
        writer.write(block);
        ++result.addresses;
        // The bar moves in steps of about 1%: repainting per row would cost more than
        // the export itself.
        if (progress && (result.addresses % 1000 == 0))
            progress(result.addresses, total);
    }
    writer.commit();
    if (progress)
        progress(result.addresses, total);
    result.replaced = writer.replacedCount();
    return result;
}

ExportResult ExportJob::toFile(archive::AddressSource& source, const ExportRequest& request,
                               const QString& target, const Progress& progress) {
    const auto encoding = request.format == ExportFileFormat::Text  ? ExportWriter::Encoding::Windows1252
                          : request.format == ExportFileFormat::Csv ? ExportWriter::Encoding::Utf8WithBom
                                                                    : ExportWriter::Encoding::Utf8;
    ExportWriter writer(target, encoding);
    return run(source, request, writer, progress);
}

} // namespace velomar::exchange
