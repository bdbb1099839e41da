#include "addresses/EntryFieldRules.h"

namespace velomar::addresses::EntryFieldRules {

namespace {

bool isLineBreak(QChar c) {
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator || c == u'\x0b' || c == u'\x0c' || c == u'\x85';
}

} // namespace

int maxLength(int field) {
    switch (field) {
    case 1: case 2: case 3: case 4: case 5: return 35;
    case Cap: return 8;
    case Citta: return 30;
    case Prov: return 2;
    case Naz: return 25;
    case 10: case 11: case 12: return 16;
    case EMail: return 38;
    case Gr: return 2;
    case Note: return 170;
    default: return Unlimited;
    }
}

int typingLength(int field) { return field == Prov ? 30 : maxLength(field); }

bool isMultiLine(int field) { return field == Note || field == Appunti; }

QString upperLetters(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c.isLetter() && c.isLower()) {
            const QChar up = c.toUpper();
            if (!up.isSurrogate())
                c = up;
        }
    return out;
}

QString filterInserted(int field, const QString& inserted) {
    QString out;
    out.reserve(inserted.size());
    const bool multi = isMultiLine(field);
    for (qsizetype i = 0; i < inserted.size(); ++i) {
        const QChar c = inserted.at(i);
        if (multi) {
            // Keep line breaks and tabs, drop other control characters.
            if (c == u'\r') {
                out += u'\n';
                if (i + 1 < inserted.size() && inserted.at(i + 1) == u'\n')
                    ++i;
            } else if (c == u'\n' || c == u'\t' ||
                       (c.category() != QChar::Other_Control && !c.isNonCharacter())) {
                out += c;
            }
            continue;
        }
        if (isLineBreak(c)) {
            // CR LF is one break: one blank.
            if (c == u'\r' && i + 1 < inserted.size() && inserted.at(i + 1) == u'\n')
                ++i;
            out += u' ';
        } else if (c == u'\t') {
            out += u' ';
        } else if (c.category() == QChar::Other_Control || c.isNonCharacter()) {
            continue;
        } else {
            out += c;
        }
    }
    switch (field) {
    case Gr: {
        QString kept;
        for (QChar c : out) {
            const char16_t u = c.unicode();
            if ((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z'))
                kept += c;
            else if (u >= u'a' && u <= u'z')
                kept += QChar(u - 32);
        }
        return kept;
    }
    case Cap:
    case Citta:
    case Prov:
    case Naz:
        return upperLetters(out);
    default:
        return out;
    }
}

Edit applyEdit(int field, const QString& oldText, const QString& newText, int cursor) {
    // The edit replaced oldText[prefix, oldText.size()-suffix) with the run that ends at
    // the caret; find it from the common prefix and suffix.
    const qsizetype oldLen = oldText.size();
    const qsizetype newLen = newText.size();
    qsizetype suffix = 0;
    const qsizetype maxSuffix = std::min(oldLen, newLen - std::min<qsizetype>(cursor, newLen));
    while (suffix < maxSuffix && oldText.at(oldLen - 1 - suffix) == newText.at(newLen - 1 - suffix))
        ++suffix;
    qsizetype prefix = 0;
    const qsizetype maxPrefix = std::min(oldLen - suffix, newLen - suffix);
    while (prefix < maxPrefix && oldText.at(prefix) == newText.at(prefix))
        ++prefix;
    const QString head = newText.left(prefix);
    const QString tail = newText.right(suffix);
    QString inserted = filterInserted(field, newText.mid(prefix, newLen - prefix - suffix));

    const int limit = typingLength(field);
    if (limit != Unlimited) {
        const qsizetype allowed = std::max<qsizetype>(limit, oldLen);
        const qsizetype room = allowed - head.size() - tail.size();
        if (inserted.size() > room)
            inserted.truncate(std::max<qsizetype>(room, 0));
    }
    return {head + inserted + tail, int(head.size() + inserted.size())};
}

QString groupOnLeave(const QString& text) {
    const QString t = text.trimmed();
    return t.size() == 1 ? t + t : text;
}

} // namespace velomar::addresses::EntryFieldRules
