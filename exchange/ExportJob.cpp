#include "exchange/ExportJob.h"

#include "archive/AddressRecord.h"
#include "exchange/ExportWriter.h"

namespace velomar::exchange {

ExportResult ExportJob::run(archive::AddressSource& source, const ExportRequest& request,
                            ExportWriter& writer, const Progress& progress) {
    ExportResult result;
    writer.writeLines(ExportFormat::header(request.date, request.description));
    const qint64 total = source.count();
    if (progress)
        progress(0, total);
    archive::AddressRecord record;
    QString block; // reused: one allocation for the whole file
    while (source.next(record)) {
        block.resize(0); // keeps the capacity, unlike clear()
        ExportFormat::appendBlock(block, record, request.fields);
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
    ExportWriter writer(target);
    return run(source, request, writer, progress);
}

} // namespace velomar::exchange
