#include "exchange/TextEncoding.h"

#include "common/Cp1252.h"
#include "exchange/ExchangeError.h"

#include <uchardet.h>

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
    if (m_decoder)
        return m_decoder->decode(chunk);
    return common::Cp1252::decode(chunk.toByteArray());
}

} // namespace velomar::exchange
