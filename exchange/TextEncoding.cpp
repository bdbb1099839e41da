#include "exchange/TextEncoding.h"

#include "common/Cp1252.h"
#include "exchange/ExchangeError.h"

#include <QIODevice>

#include <uchardet.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace velomar::exchange {

namespace {

struct UchardetDeleter {
    void operator()(uchardet_t detector) const { uchardet_delete(detector); }
};

// A sample cut at a fixed size may end inside a UTF-8 sequence; that alone must not make
// it invalid.
bool isUtf8(QByteArrayView bytes) {
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        int extra = 0;
        if (c < 0x80)
            extra = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            extra = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            extra = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            extra = 3;
        else
            return false;
        if (i + extra >= n)
            return true;
        for (int k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

// Valid multi-byte UTF-8 characters and invalid bytes of a file read in chunks.
struct Utf8Count {
    qint64 multibyte = 0;
    qint64 invalid = 0;
    QByteArray carry; // a character cut by the end of a chunk

    void add(QByteArrayView chunk) {
        const QByteArray joined = carry + chunk.toByteArray();
        carry.clear();
        const char* p = joined.constData();
        const qsizetype n = joined.size();
        qsizetype i = 0;
        while (i < n) {
            if (i + 8 <= n) {
                quint64 word;
                std::memcpy(&word, p + i, 8);
                if ((word & 0x8080808080808080ULL) == 0) {
                    i += 8;
                    continue;
                }
            }
            const auto c = static_cast<unsigned char>(p[i]);
            int extra = 0;
            if (c < 0x80) {
                ++i;
                continue;
            }
            if (c >= 0xC2 && c <= 0xDF)
                extra = 1;
            else if (c >= 0xE0 && c <= 0xEF)
                extra = 2;
            else if (c >= 0xF0 && c <= 0xF4)
                extra = 3;
            else {
                ++invalid;
                ++i;
                continue;
            }
            if (i + extra >= n) {
                carry = joined.mid(i);
                return;
            }
            bool ok = true;
            for (int k = 1; k <= extra && ok; ++k)
                ok = (static_cast<unsigned char>(p[i + k]) & 0xC0) == 0x80;
            if (!ok) {
                ++invalid;
                ++i;
                continue;
            }
            ++multibyte;
            i += extra + 1;
        }
    }
    void finish() {
        invalid += carry.isEmpty() ? 0 : 1;
        carry.clear();
    }
};

// UTF-16 without BOM: Latin text has a zero in every other byte.
QString utf16ByZeros(QByteArrayView sample) {
    const qsizetype n = std::min<qsizetype>(sample.size(), 4096) & ~qsizetype(1);
    if (n < 8)
        return {};
    qsizetype even = 0, odd = 0;
    for (qsizetype i = 0; i < n; i += 2) {
        even += sample[i] == 0;
        odd += sample[i + 1] == 0;
    }
    const qsizetype pairs = n / 2;
    if (odd * 10 >= pairs * 7 && even * 10 < pairs)
        return TextEncoding::Utf16Le;
    if (even * 10 >= pairs * 7 && odd * 10 < pairs)
        return TextEncoding::Utf16Be;
    return {};
}

} // namespace

bool TextEncoding::hasBom(QByteArrayView s) {
    return s.startsWith("\xEF\xBB\xBF") || s.startsWith("\xFF\xFE") || s.startsWith("\xFE\xFF");
}

QString TextEncoding::detect(QByteArrayView sample) {
    if (sample.startsWith("\xEF\xBB\xBF"))
        return Utf8;
    if (sample.startsWith("\xFF\xFE"))
        return Utf16Le;
    if (sample.startsWith("\xFE\xFF"))
        return Utf16Be;
    if (const QString wide = utf16ByZeros(sample); !wide.isEmpty())
        return wide;
    // Valid UTF-8 is decisive; the detector only decides among what is left.
    if (isUtf8(sample))
        return Utf8;
    std::unique_ptr<std::remove_pointer_t<uchardet_t>, UchardetDeleter> detector(uchardet_new());
    if (detector &&
        uchardet_handle_data(detector.get(), sample.data(), size_t(sample.size())) == 0) {
        uchardet_data_end(detector.get());
        const QByteArray found = QByteArray(uchardet_get_charset(detector.get())).toUpper();
        if (found == "UTF-8")
            return Utf8;
        if (found.startsWith("UTF-16"))
            return found.endsWith("BE") ? Utf16Be : Utf16Le;
    }
    return Windows1252;
}

QString TextEncoding::detect(QIODevice& file) {
    const qint64 start = file.pos();
    const QByteArray head = file.read(64 * 1024);
    QString found = detect(head);
    if (found == Utf8 && !hasBom(head) && !file.atEnd()) {
        Utf8Count count;
        count.add(head);
        while (!file.atEnd()) {
            const QByteArray chunk = file.read(1 << 20);
            if (chunk.isEmpty())
                break;
            count.add(chunk);
        }
        count.finish();
        // A stray 8-bit byte in a UTF-8 file must not turn all its letters into others.
        if (count.invalid > count.multibyte)
            found = Windows1252;
    }
    file.seek(start);
    return found;
}

QString TextEncoding::canonicalName(const QString& name) {
    QString key = name.trimmed().toUpper();
    key.remove(QLatin1Char('-')).remove(QLatin1Char('_')).remove(QLatin1Char(' '));
    if (key == u"UTF8" || key == u"UTF8BOM")
        return Utf8;
    if (key == u"UTF16" || key == u"UTF16LE" || key == u"UNICODE")
        return Utf16Le;
    if (key == u"UTF16BE")
        return Utf16Be;
    if (key == u"WINDOWS1252" || key == u"CP1252" || key == u"ANSI" || key == u"LATIN1" ||
        key == u"ISO88591" || key == u"ISO885915" || key == u"ASCII" || key == u"USASCII")
        return Windows1252;
    throw ExchangeError(
        ExchangeError::BadInput,
        QStringLiteral("Codifica \"%1\" non supportata (usare UTF-8, UTF-16 o Windows-1252)")
            .arg(name));
}

TextEncoding::TextEncoding(const QString& name) : m_name(canonicalName(name)) {
    if (m_name == Utf8)
        m_decoder.emplace(QStringConverter::Utf8);
    else if (m_name == Utf16Le)
        m_decoder.emplace(QStringConverter::Utf16LE);
    else if (m_name == Utf16Be)
        m_decoder.emplace(QStringConverter::Utf16BE);
}

QString TextEncoding::decode(QByteArrayView chunk) {
    static constexpr char16_t kReplacement = 0xFFFD;
    if (!m_decoder) {
        QString text = common::Cp1252::decode(chunk.toByteArray());
        m_replaced += std::count(text.cbegin(), text.cend(), QChar(kReplacement));
        return text;
    }
    QString text = m_decoder->decode(chunk);
    if (m_name == Utf8) {
        // U+FFFD written in the file as such is no decoding loss.
        if (const qint64 made = std::count(text.cbegin(), text.cend(), QChar(kReplacement))) {
            const QByteArray seen = m_tail + chunk.toByteArray();
            m_replaced += made - seen.count("\xEF\xBF\xBD");
        }
        m_tail = chunk.size() >= 2 ? chunk.last(2).toByteArray()
                                   : (m_tail + chunk.toByteArray()).right(2);
    }
    return text;
}

QString TextEncoding::replacedNote() const {
    return replacedNote(QStringLiteral("nella codifica ") + m_name, m_replaced);
}

QString TextEncoding::replacedNote(const QString& where, qint64 count) {
    if (count == 0)
        return {};
    return QStringLiteral("Caratteri illeggibili %1, sostituiti con «�»: %2.").arg(where).arg(count);
}

} // namespace velomar::exchange
