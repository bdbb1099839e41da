#include "addresses/PlaceKey.h"

#include <QRegularExpression>

#include <array>

namespace velomar::addresses {

namespace {

// Base letter of the Latin-1 and Latin Extended-A letters, 0 for anything else; built once
// so a key costs no decomposition per character.
const std::array<char16_t, 0x180>& latinBases() {
    static const std::array<char16_t, 0x180> table = [] {
        std::array<char16_t, 0x180> t{};
        for (char16_t u = 0; u < t.size(); ++u) {
            QChar c(u);
            if (u < 0x80) {
                t[u] = c.isLetterOrNumber() ? c.toLower().unicode() : 0;
                continue;
            }
            if (!c.isLetter())
                continue;
            const QString d = c.decomposition();
            const QChar base = (c.decompositionTag() == QChar::Canonical && !d.isEmpty()) ? d.at(0) : c;
            t[u] = base.toLower().unicode();
        }
        t[0xDF] = u'ß';
        return t;
    }();
    return table;
}

bool isSaint(QStringView word) {
    return word == u"s" || word == u"san" || word == u"santo" || word == u"santa" || word == u"sant";
}

} // namespace

QString PlaceKey::of(QStringView name) { return build(name, false); }

QString PlaceKey::saints(QStringView name) { return build(name, true); }

QString PlaceKey::build(QStringView name, bool foldSaints) {
    const auto& bases = latinBases();
    QString key;
    key.reserve(name.size());
    qsizetype wordStart = 0;
    auto endWord = [&] {
        if (foldSaints && key.size() > wordStart && isSaint(QStringView(key).mid(wordStart))) {
            key.truncate(wordStart);
            key.append(u's');
        }
        wordStart = key.size();
    };
    for (QChar c : name) {
        const char16_t u = c.unicode();
        char16_t folded = 0;
        if (u < bases.size())
            folded = bases[u];
        else if (c.isLetterOrNumber())
            folded = c.toLower().unicode();
        if (folded == 0) {
            endWord();
            continue;
        }
        key.append(QChar(folded));
    }
    endWord();
    return key;
}

QString PlaceKey::forCitta(const QString& name) {
    return name.size() > CittaWidth ? shortened(name).left(CittaWidth) : name;
}

QString PlaceKey::shortened(const QString& name) {
    static const QRegularExpression saint(QStringLiteral("\\b(San|Santo|Santa|SAN|SANTO|SANTA) "));
    QString s = name;
    s.replace(saint, QStringLiteral("S. "));
    return s;
}

} // namespace velomar::addresses
