#include "exchange/CsvReader.h"

#include "exchange/BinaryFile.h"
#include "exchange/CsvParser.h"
#include "exchange/CsvSniffer.h"
#include "common/SystemErrorText.h"
#include "exchange/ExchangeError.h"
#include "exchange/TextEncoding.h"

#include <QSet>

namespace velomar::exchange {

namespace {

constexpr qint64 kSampleSize = 64 * 1024;
constexpr qint64 kChunkSize = 256 * 1024;
constexpr int kSampleRows = 50;

void openOrThrow(QFile& file) {
    if (!file.open(QIODevice::ReadOnly))
        throw ExchangeError(ExchangeError::ReadFailed,
                            QStringLiteral("Impossibile leggere il file \"%1\": %2")
                                .arg(file.fileName(), common::SystemErrorText::ofFile(file)));
}

bool allEmpty(const QStringList& values) {
    for (const QString& v : values) {
        if (!v.isEmpty())
            return false;
    }
    return true;
}

QString delimiterName(QChar c) {
    switch (c.unicode()) {
    case u',':
        return QStringLiteral("virgola");
    case u';':
        return QStringLiteral("punto e virgola");
    case u'\t':
        return QStringLiteral("tabulazione");
    case u'|':
        return QStringLiteral("barra verticale");
    default:
        return QStringLiteral("\"%1\"").arg(c);
    }
}

// Header names as columns: blanks named by position, repeated names told apart.
QStringList columnNames(const QStringList& header) {
    QStringList names;
    QSet<QString> used;
    for (qsizetype i = 0; i < header.size(); ++i) {
        QString name = header[i].trimmed();
        if (name.isEmpty())
            name = QStringLiteral("Colonna %1").arg(i + 1);
        const QString base = name;
        for (int n = 2; used.contains(name.toCaseFolded()); ++n)
            name = QStringLiteral("%1 (%2)").arg(base).arg(n);
        used.insert(name.toCaseFolded());
        names.append(name);
    }
    return names;
}

} // namespace

CsvFormat CsvReader::detect(const QString& path, const CsvFormat& given) {
    QFile file(path);
    openOrThrow(file);
    CsvFormat format = given;
    format.encoding = given.encoding.isEmpty() ? TextEncoding::detect(file)
                                               : TextEncoding::canonicalName(given.encoding);
    const QByteArray sample = file.read(kSampleSize);
    const bool whole = file.atEnd();
    BinaryFile::requireTextHead(sample, format.encoding, path);

    if (!format.delimiter.isNull() && format.hasHeader)
        return format;

    QString text = TextEncoding(format.encoding).decode(sample);
    if (!whole) {
        // The last line is probably cut.
        const qsizetype lastBreak = text.lastIndexOf(u'\n');
        if (lastBreak > 0)
            text.truncate(lastBreak + 1);
    }
    if (format.delimiter.isNull())
        format.delimiter = CsvSniffer::delimiter(text);
    if (!format.hasHeader) {
        CsvParser parser(format.delimiter);
        parser.append(text);
        if (whole)
            parser.close();
        QList<QStringList> rows;
        QStringList fields;
        try {
            while (rows.size() < kSampleRows && parser.next(fields)) {
                if (!allEmpty(fields))
                    rows.append(fields);
            }
        } catch (const ExchangeError&) {
            // An open quote is reported when the rows are read; the rows so far decide.
        }
        format.hasHeader = CsvSniffer::hasHeader(rows);
    }
    return format;
}

CsvReader::CsvReader(const QString& path, const CsvFormat& given)
    : m_file(path), m_format(detect(path, given)) {
    openOrThrow(m_file);
    m_bom = TextEncoding::hasBom(m_file.peek(4));
    m_decoder = std::make_unique<TextEncoding>(m_format.encoding);
    m_parser = std::make_unique<CsvParser>(m_format.delimiter);

    QStringList fields;
    qint64 line = 0;
    if (*m_format.hasHeader) {
        if (readRecord(fields, line))
            m_columns = columnNames(fields);
        return;
    }
    qsizetype width = 0;
    while (m_ahead.size() < size_t(kSampleRows) && readRecord(fields, line)) {
        width = std::max(width, fields.size());
        m_ahead.push_back({fields, line});
    }
    for (qsizetype i = 0; i < width; ++i)
        m_columns.append(QStringLiteral("Colonna %1").arg(i + 1));
}

CsvReader::~CsvReader() = default;

bool CsvReader::readRecord(QStringList& fields, qint64& line) {
    for (;;) {
        while (m_parser->next(fields)) {
            if (!allEmpty(fields)) {
                line = m_parser->line();
                return true;
            }
        }
        if (m_atEnd)
            return false;
        const QByteArray chunk = m_file.read(kChunkSize);
        if (chunk.isEmpty()) {
            if (m_file.error() != QFileDevice::NoError)
                throw ExchangeError::readFailed(m_file);
            m_atEnd = true;
            m_parser->close();
            continue;
        }
        BinaryFile::requireText(chunk, m_format.encoding, m_file.fileName());
        m_parser->append(m_decoder->decode(chunk));
    }
}

bool CsvReader::next(QStringList& values) {
    if (!m_ahead.empty()) {
        values = std::move(m_ahead.front().values);
        m_position = m_ahead.front().line;
        m_ahead.pop_front();
    } else if (!readRecord(values, m_position)) {
        return false;
    }
    const qsizetype width = m_columns.size();
    if (values.size() > width) {
        bool lost = false;
        for (qsizetype i = width; i < values.size(); ++i)
            lost = lost || !values[i].isEmpty();
        m_overlong += lost;
        values.resize(width);
    }
    while (values.size() < width)
        values.append(QString());
    return true;
}

QStringList CsvReader::readNotes() const {
    const QString note = m_decoder->replacedNote();
    return note.isEmpty() ? QStringList() : QStringList{note};
}

QString CsvReader::description() const {
    return QStringLiteral("CSV, codifica %1%2, separatore %3, %4")
        .arg(m_format.encoding, m_bom ? QStringLiteral(" con BOM") : QString(),
             delimiterName(m_format.delimiter),
             *m_format.hasHeader ? QStringLiteral("con riga di intestazione")
                                 : QStringLiteral("senza riga di intestazione"));
}

} // namespace velomar::exchange
