#include "exchange/CountryNames.h"

#include "archive/CountryLookup.h"
#include "exchange/EnglishCountryNames.h"
#include "exchange/ImportMapping.h"

namespace velomar::exchange {

CountryNames::CountryNames() = default;

CountryNames::CountryNames(const std::vector<std::pair<QString, QString>>& table) {
    for (const auto& [code, name] : table) {
        m_byCode.insert(code.toUpper(), name);
        m_byName.insert(ImportMapping::nameKey(name), name);
    }
    for (const EnglishCountryName& e : englishCountryNames()) {
        const QString name = m_byCode.value(QString::fromLatin1(e.code));
        if (!name.isEmpty())
            m_byName.insert(ImportMapping::nameKey(QString::fromUtf8(e.name)), name);
    }
}

CountryNames CountryNames::fromFile(const QString& path) {
    return CountryNames(archive::CountryLookup(path).entries());
}

bool CountryNames::isHome(const QString& value) {
    static const QStringList home{QStringLiteral("italia"), QStringLiteral("italy"),
                                  QStringLiteral("it"), QStringLiteral("ita"), QStringLiteral("i")};
    return home.contains(ImportMapping::nameKey(value));
}

QString CountryNames::storedName(const QString& value) const {
    const QString text = value.trimmed();
    if (text.isEmpty() || isHome(text))
        return QString();
    const QString upper = text.toUpper();
    if (const auto it = m_byCode.constFind(upper); it != m_byCode.constEnd())
        return *it;
    if (const auto it = m_byName.constFind(ImportMapping::nameKey(text)); it != m_byName.constEnd())
        return *it;
    return upper;
}

} // namespace velomar::exchange
