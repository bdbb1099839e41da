#include "common/Cp1252.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace velomar::common {

namespace {
// 0x80..0x9F; 0 marks the five undefined positions.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
} // namespace

QByteArray Cp1252::encode(const QString& text, qsizetype* replaced) {
    QByteArray out;
    const qsizetype bad = append(out, text);
    if (replaced)
        *replaced = bad;
    return out;
}

qsizetype Cp1252::append(QByteArray& out, QStringView text) {
    // At most one byte per UTF-16 unit; the buffer grows geometrically, never per call.
    const qsizetype old = out.size();
    const qsizetype size = text.size();
    const qsizetype need = old + size;
    if (need > out.capacity())
        out.reserve(std::max(need, 2 * out.capacity()));
    out.resize(need);
    char* p = out.data() + old;
    const char16_t* in = text.utf16();
    qsizetype bad = 0;
    for (qsizetype i = 0; i < size; ++i) {
        // Runs of ASCII, four units at a time: nearly all of an address.
        while (i + 4 <= size) {
            quint64 units;
            std::memcpy(&units, in + i, sizeof units);
            if (units & 0xFF80FF80FF80FF80ull)
                break;
            p[0] = char(in[i]);
            p[1] = char(in[i + 1]);
            p[2] = char(in[i + 2]);
            p[3] = char(in[i + 3]);
            p += 4;
            i += 4;
        }
        if (i >= size)
            break;
        const char16_t c = in[i];
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            *p++ = char(c);
            continue;
        }
        char mapped = 0;
        for (int k = 0; k < 32; ++k) {
            if (kHigh[k] != 0 && kHigh[k] == c) {
                mapped = char(0x80 + k);
                break;
            }
        }
        if (mapped) {
            *p++ = mapped;
        } else {
            *p++ = '?';
            ++bad;
            // A surrogate pair is one character for the reader.
            if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1]))
                ++i;
        }
    }
    out.truncate(p - out.constData());
    return bad;
}

QString Cp1252::decode(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F) {
            const char16_t c = kHigh[b - 0x80];
            out.append(c ? QChar(c) : QChar(0xFFFD));
        } else {
            out.append(QChar(b));
        }
    }
    return out;
}

} // namespace velomar::common
