#include "addresses/SearchFilter.h"

#include <QLocale>

namespace velomar::addresses::SearchFilter {

QString likeLiteral(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'\'': out += QStringLiteral("''"); break;
        case u'*': case u'?': case u'#': case u'%': case u'_': case u'[':
            out += u'[';
            out += c;
            out += u']';
            break;
        default: out += c;
        }
    }
    return out;
}

QString wordSearch(const QString& field, const QString& word) {
    return field + QStringLiteral(" LIKE '*") + likeLiteral(word) + QStringLiteral("*'");
}

QString initial(const QString& field, QChar letter) {
    return field + QStringLiteral(" LIKE '") + likeLiteral(QString(letter)) + QStringLiteral("*'");
}

QString digitInitial(const QString& field) {
    return field + QStringLiteral(" LIKE '[0-9]*'");
}

QString numberIs(qint64 nr) { return QStringLiteral("NR = %1").arg(nr); }

qint64 parseNumber(const QString& answer) {
    const QString t = answer.trimmed();
    bool ok = false;
    qint64 n = t.toLongLong(&ok);
    if (!ok)
        n = QLocale(QLocale::Italian, QLocale::Italy).toLongLong(t, &ok); // "1.206"
    return ok && n > 0 ? n : 0;
}

} // namespace velomar::addresses::SearchFilter
