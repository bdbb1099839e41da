#include "exchange/BinaryFile.h"

#include "exchange/ExchangeError.h"
#include "exchange/TextEncoding.h"

#include <QFileInfo>

namespace velomar::exchange {

namespace {

struct Signature {
    qsizetype offset;
    QByteArrayView bytes;
    const char* kind; // UTF-8
};

const Signature kSignatures[] = {
    {0, "\x89PNG\r\n\x1A\n", "un'immagine PNG"},
    {0, "\xFF\xD8\xFF", "un'immagine JPEG"},
    {0, "GIF8", "un'immagine GIF"},
    {0, "%PDF-", "un documento PDF"},
    {0, "PK\x03\x04", "un archivio ZIP (come i file .xlsx, .docx, .ods)"},
    {0, "PK\x05\x06", "un archivio ZIP (come i file .xlsx, .docx, .ods)"},
    {0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", "un documento di Office (come i file .xls, .doc)"},
    {0, "\x7F" "ELF", "un programma"},
    {4, "Standard Jet DB", "un database Access"},
    {4, "Standard ACE DB", "un database Access"},
    {0, "SQLite format 3", "un database SQLite"},
};

ExchangeError notText(const QString& path, const QString& what) {
    return ExchangeError(ExchangeError::BadInput,
                         QStringLiteral("Il file \"%1\" %2: non è un file di testo.")
                             .arg(QFileInfo(path).fileName(), what));
}

} // namespace

QString BinaryFile::kindOf(QByteArrayView head) {
    for (const Signature& s : kSignatures)
        if (head.size() >= s.offset + s.bytes.size() &&
            head.sliced(s.offset, s.bytes.size()) == s.bytes)
            return QString::fromUtf8(s.kind);
    return {};
}

void BinaryFile::requireTextHead(QByteArrayView head, const QString& encoding, const QString& path) {
    if (const QString kind = kindOf(head); !kind.isEmpty())
        throw notText(path, QStringLiteral("è ") + kind);
    requireText(head, encoding, path);
}

void BinaryFile::requireText(QByteArrayView chunk, const QString& encoding, const QString& path) {
    if (encoding != TextEncoding::Utf16Le && encoding != TextEncoding::Utf16Be && chunk.contains('\0'))
        throw notText(path, QStringLiteral("contiene byte nulli"));
}

} // namespace velomar::exchange
