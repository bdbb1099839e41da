#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

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

    // One of the names above for a name a user may type ("utf8", "latin1", "cp1252",
    // "ISO-8859-1", "utf-16"...); throws ExchangeError(BadInput) for anything else.
    static QString canonicalName(const QString& name);

    // Whether the sample starts with a byte order mark (for the description shown).
    static bool hasBom(QByteArrayView sample);

    explicit TextEncoding(const QString& name); // throws like canonicalName
    const QString& name() const { return m_name; }
    QString decode(QByteArrayView chunk);

private:
    QString m_name;
    std::optional<QStringDecoder> m_decoder; // empty for Windows-1252
};

} // namespace velomar::exchange
