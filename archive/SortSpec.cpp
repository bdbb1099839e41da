#include "archive/SortSpec.h"

#include "archive/FilterError.h"

#include <QStringList>

namespace velomar::archive {

SortSpec SortSpec::parse(const QString& text, const std::function<int(const QString&)>& resolver) {
    SortSpec spec;
    if (text.trimmed().isEmpty())
        return spec;
    const auto fail = [&](const QString& detail) {
        throw FilterError(QStringLiteral("Ordinamento non valido: %1\n(%2)").arg(text, detail));
    };
    for (const QString& item : text.split(u',')) {
        QString part = item.trimmed();
        if (part.isEmpty())
            fail(QStringLiteral("campo mancante"));
        bool descending = false;
        QString name;
        if (part.startsWith(u'[')) {
            const qsizetype close = part.indexOf(u']');
            if (close < 0)
                fail(QStringLiteral("nome di campo non chiuso"));
            name = part.mid(1, close - 1);
            part = part.mid(close + 1).trimmed();
        } else {
            const qsizetype blank = part.indexOf(u' ');
            name = blank < 0 ? part : part.left(blank);
            part = blank < 0 ? QString() : part.mid(blank + 1).trimmed();
        }
        if (part.compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0)
            descending = true;
        else if (!part.isEmpty() && part.compare(QLatin1String("ASC"), Qt::CaseInsensitive) != 0)
            fail(QStringLiteral("testo inatteso '%1'").arg(part));
        const int field = resolver ? resolver(name) : -1;
        if (field < 0)
            fail(QStringLiteral("campo sconosciuto '%1'").arg(name));
        spec.m_keys.push_back({field, descending});
    }
    return spec;
}

} // namespace velomar::archive
