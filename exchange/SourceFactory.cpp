#include "exchange/SourceFactory.h"

#include "exchange/AccessReader.h"
#include "exchange/CsvReader.h"
#include "exchange/ExchangeError.h"
#include "exchange/VCardReader.h"

#include <QFile>
#include <QFileInfo>

namespace velomar::exchange {

namespace {

std::unique_ptr<SourceTable> openAccessTable(const QString& path, const QString& wanted) {
    AccessReader reader(path);
    const QStringList tables = reader.tables();
    QString table = wanted;
    if (table.isEmpty()) {
        // An archive of ours in Access form holds TabMAIL; a database of one table needs
        // no choice.
        if (tables.contains(QStringLiteral("TabMAIL"), Qt::CaseInsensitive))
            table = QStringLiteral("TabMAIL");
        else if (tables.size() == 1)
            table = tables.first();
        else
            throw ExchangeError(ExchangeError::BadInput,
                                QStringLiteral("Indicare la tabella da leggere. Tabelle del database: %1")
                                    .arg(tables.join(QStringLiteral(", "))));
    }
    return reader.openTable(table);
}

} // namespace

std::unique_ptr<SourceTable> openSource(const QString& path, const SourceOptions& options) {
    const QFileInfo info(path);
    if (!info.exists())
        throw ExchangeError(ExchangeError::ReadFailed, QStringLiteral("File non trovato: %1").arg(path));
    if (!info.isFile())
        throw ExchangeError(ExchangeError::ReadFailed, QStringLiteral("Non è un file: %1").arg(path));

    const QString suffix = info.suffix().toLower();
    if (AccessReader::isAccessFile(path))
        return openAccessTable(path, options.table);
    if (suffix == QLatin1String("mdb") || suffix == QLatin1String("accdb"))
        throw ExchangeError(ExchangeError::Unsupported,
                            QStringLiteral("Il file %1 non è un database Access.").arg(info.fileName()));

    QByteArray head;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw ExchangeError(ExchangeError::ReadFailed,
                                QStringLiteral("Impossibile leggere il file %1.").arg(info.fileName()));
        head = file.read(8192);
    }
    if (suffix == QLatin1String("vcf") || suffix == QLatin1String("vcard") || VCardReader::looksLikeVCard(head))
        return std::make_unique<VCardReader>(path, options.encoding);

    CsvFormat format;
    format.encoding = options.encoding;
    format.delimiter = options.delimiter;
    if (options.header != SourceOptions::Header::Auto)
        format.hasHeader = options.header == SourceOptions::Header::Yes;
    return std::make_unique<CsvReader>(path, format);
}

} // namespace velomar::exchange
