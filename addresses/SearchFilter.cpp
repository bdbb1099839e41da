#include "addresses/SearchFilter.h"

#include "archive/FilterExpr.h"

#include <QLocale>

namespace velomar::addresses::SearchFilter {

QString likeLiteral(const QString& text) { return archive::FilterExpr::likeLiteral(text); }

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
