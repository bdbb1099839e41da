#include "archive/ItalianCollation.h"

#include <QChar>
#include <vector>

namespace velomar::archive {
namespace {

struct Entry {
    quint32 primary;
    char16_t fold;
    quint8 accent; // combining mark removed, 0 for none
    quint8 upper;
    quint32 key; // order-preserving byte code of the primary weight: length in the top byte
};

// Byte codes whose byte order is the primary order; ASCII letters, digits and blanks
// take one byte, so a short prefix of the code already orders most texts.
quint32 keyCode(quint32 primary) {
    const quint32 cls = primary >> 16, f = primary & 0xFFFF;
    auto one = [](quint32 b) { return (1u << 24) | b; };
    auto two = [](quint32 a, quint32 b) { return (2u << 24) | (a << 8) | b; };
    auto three = [](quint32 a, quint32 f) { return (3u << 24) | (a << 16) | f; };
    switch (cls) {
    case 1: return one(0x01);
    case 2: return f < 0x80 ? two(0x02, f) : three(0x03, f);
    case 3: return (f >= u'0' && f <= u'9') ? one(0x10 + (f - u'0')) : three(0x1A, f);
    default: return (f >= u'a' && f <= u'z') ? one(0x20 + (f - u'a')) : three(0x3A, f);
    }
}

enum Class : quint32 { Space = 1, Punct = 2, Digit = 3, Letter = 4 };

std::vector<Entry> buildTable() {
    std::vector<Entry> table(0x10000);
    for (quint32 code = 0; code < 0x10000; ++code) {
        const QChar ch{char16_t(code)};
        Entry e{};
        if (ch.isSurrogate()) {
            e = {(Letter << 16) | code, char16_t(code), 0, 0, keyCode((Letter << 16) | code)};
            table[code] = e;
            continue;
        }
        QChar base = ch;
        quint8 accent = 0;
        // Strip Latin/Greek/Cyrillic accents only: a canonical decomposition into a base
        // and a combining diacritic. Hangul, kana voicing marks and the like stay whole.
        for (int depth = 0; depth < 4 && base.decompositionTag() == QChar::Canonical; ++depth) {
            const QString d = base.decomposition();
            if (d.size() != 2 || d.at(1).unicode() < 0x0300 || d.at(1).unicode() > 0x036F)
                break;
            if (!accent)
                accent = quint8(d.at(1).unicode() - 0x02FF);
            base = d.at(0);
        }
        const bool upper = base.isUpper() || base.isTitleCase();
        const char16_t folded = base.toLower().unicode();
        const QChar f(folded);
        quint32 primary;
        if (f.isSpace())
            primary = Space << 16;
        else if (f.isDigit())
            primary = (Digit << 16) | folded;
        else if (f.isLetterOrNumber() || f.isMark())
            primary = (Letter << 16) | folded;
        else
            primary = (Punct << 16) | folded;
        table[code] = {primary, folded, accent, quint8(upper ? 1 : 0), keyCode(primary)};
    }
    return table;
}

const std::vector<Entry>& table() {
    static const std::vector<Entry> t = buildTable();
    return t;
}

} // namespace

quint32 ItalianCollation::weight(char16_t c) { return table()[c].primary; }

char16_t ItalianCollation::fold(char16_t c) { return table()[c].fold; }

int ItalianCollation::comparePrimary(QStringView a, QStringView b) {
    const Entry* t = table().data();
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const quint32 wa = t[a[i].unicode()].primary;
        const quint32 wb = t[b[i].unicode()].primary;
        if (wa != wb)
            return wa < wb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool ItalianCollation::startsWithPrimary(QStringView text, QStringView prefix) {
    if (text.size() < prefix.size())
        return false;
    return comparePrimary(text.first(prefix.size()), prefix) == 0;
}

void ItalianCollation::appendPrimaryKey(QStringView text, std::string& out) {
    const Entry* t = table().data();
    for (const QChar c : text) {
        const quint32 k = t[c.unicode()].key;
        switch (k >> 24) {
        case 3:
            out += char((k >> 16) & 0xFF);
            [[fallthrough]];
        case 2:
            out += char((k >> 8) & 0xFF);
            [[fallthrough]];
        default:
            out += char(k & 0xFF);
        }
    }
}

int ItalianCollation::compare(QStringView a, QStringView b) {
    if (const int p = comparePrimary(a, b))
        return p;
    // Same length from here on.
    const Entry* t = table().data();
    for (qsizetype i = 0; i < a.size(); ++i) {
        const quint8 xa = t[a[i].unicode()].accent, xb = t[b[i].unicode()].accent;
        if (xa != xb)
            return xa < xb ? -1 : 1;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        const quint8 ua = t[a[i].unicode()].upper, ub = t[b[i].unicode()].upper;
        if (ua != ub)
            return ua < ub ? -1 : 1;
    }
    return 0;
}

} // namespace velomar::archive
