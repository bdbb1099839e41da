#pragma once

#include <QByteArrayView>
#include <QString>

namespace velomar::exchange {

// Files that are not text, told apart before they are read as a CSV or a vCard: known
// signatures at the start, and NUL bytes, which no 8-bit or UTF-8 text holds.
class BinaryFile {
public:
    // "un'immagine PNG", "un documento PDF"... for the first bytes of a file; empty for
    // none known.
    static QString kindOf(QByteArrayView head);

    // Throws ExchangeError(BadInput) "... non è un file di testo" when the head has a known
    // signature or, outside UTF-16, a NUL byte.
    static void requireTextHead(QByteArrayView head, const QString& encoding, const QString& path);
    // The NUL test alone, for the later chunks of the file.
    static void requireText(QByteArrayView chunk, const QString& encoding, const QString& path);
};

} // namespace velomar::exchange
