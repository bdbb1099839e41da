#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

class QIODevice;

#include <optional>

namespace velomar::exchange {

// The encodings text sources come in: UTF-8 (with or without BOM), UTF-16 LE/BE and
// Windows-1252 for everything 8-bit (Latin-1 files are read as its superset). An instance
// decodes a file chunk by chunk: a character split across two chunks comes out whole and
// a leading BOM is dropped.
class TextEncoding {
public:
    static inline const QString Utf8 = QStringLiteral("UTF-8");
    static inline const QString Utf16Le = QStringLiteral("UTF-16LE");
    static inline const QString Utf16Be = QStringLiteral("UTF-16BE");
    static inline const QString Windows1252 = QStringLiteral("Windows-1252");

    // BOM first, then a UTF-16 pattern of zero bytes, then libuchardet; anything that is
    // not UTF-8 or UTF-16 is taken as Windows-1252. The sample may end mid-character.
    static QString detect(QByteArrayView sample);
    // The same for a whole file, read from its current position (which is kept): a file
    // whose head is plain ASCII or UTF-8 is UTF-8 only when the rest agrees, or when most
    // of its 8-bit letters are valid UTF-8; else Windows-1252.
    static QString detect(QIODevice& file);

    // One of the names above for a name a user may type ("utf8", "latin1", "cp1252",
    // "ISO-8859-1", "utf-16"...); throws ExchangeError(BadInput) for anything else.
    static QString canonicalName(const QString& name);

    // Whether the sample starts with a byte order mark (for the description shown).
    static bool hasBom(QByteArrayView sample);

    explicit TextEncoding(const QString& name); // throws like canonicalName
    const QString& name() const { return m_name; }
    QString decode(QByteArrayView chunk);

    // Characters that decoding made U+FFFD of (bytes invalid in the encoding), and the
    // summary line that says so (empty when none).
    qint64 replaced() const { return m_replaced; }
    QString replacedNote() const;
    // The same line for count characters lost where said ("nei valori QUOTED-PRINTABLE").
    static QString replacedNote(const QString& where, qint64 count);

private:
    QString m_name;
    std::optional<QStringDecoder> m_decoder; // empty for Windows-1252
    qint64 m_replaced = 0;
    QByteArray m_tail; // last bytes of the previous chunk: a U+FFFD written in the file may span two
};

} // namespace velomar::exchange
