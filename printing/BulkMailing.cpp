#include "printing/BulkMailing.h"

#include "printing/ProvinceRegions.h"

#include <QHash>
#include <algorithm>
#include <numeric>

namespace velomar::printing {

namespace {

enum Field { INDIRIZZO = 5, CAP = 6, CITTA = 7, PROV = 8, NAZ = 9 };

// What an address is sorted and bundled by, read once.
struct Key {
    QString country; // "" for Italy
    QString cap;
    QString city;
    QString street;
    QString province;
};

Key keyOf(const archive::AddressRecord& r) {
    Key k;
    if (!BulkMailing::isItalian(r))
        k.country = r[NAZ].trimmed().toUpper();
    k.cap = r[CAP].trimmed();
    k.city = r[CITTA].trimmed().toUpper();
    k.street = r[INDIRIZZO].trimmed().toUpper();
    k.province = r[PROV].trimmed().toUpper();
    return k;
}

bool before(const Key& a, const Key& b) {
    if (int c = a.country.compare(b.country))
        return c < 0;
    if (int c = a.cap.compare(b.cap))
        return c < 0;
    if (int c = a.city.compare(b.city))
        return c < 0;
    return a.street.compare(b.street) < 0;
}

// Gathers, from the addresses still loose, each group of at least min that shares a
// value; groups in the order of their first address. Taken addresses leave loose.
template <typename ValueOf>
std::vector<std::vector<qint64>> gather(std::vector<qint64>& loose, qint64 min, ValueOf valueOf) {
    QHash<QString, qint64> counts;
    for (qint64 i : loose)
        if (const QString v = valueOf(i); !v.isEmpty())
            ++counts[v];
    std::vector<std::vector<qint64>> groups;
    QHash<QString, std::size_t> slot;
    std::vector<qint64> rest;
    for (qint64 i : loose) {
        const QString v = valueOf(i);
        if (v.isEmpty() || counts.value(v) < min) {
            rest.push_back(i);
            continue;
        }
        auto it = slot.find(v);
        if (it == slot.end()) {
            it = slot.insert(v, groups.size());
            groups.emplace_back();
        }
        groups[*it].push_back(i);
    }
    loose.swap(rest);
    return groups;
}

} // namespace

QString Bundle::area() const {
    switch (level) {
    case Level::Cap:
        return (QStringLiteral("CAP ") + key + QLatin1Char(' ') + destination).trimmed();
    case Level::Province:
        return QStringLiteral("PROVINCIA %1 (%2)").arg(key, destination);
    case Level::Region:
        return QStringLiteral("REGIONE ") + key;
    case Level::Italy:
        return QStringLiteral("RESTO D'ITALIA");
    case Level::Foreign:
        return QStringLiteral("ESTERO ") + key;
    }
    return {};
}

QStringList Bundle::headerTexts() const {
    return {QStringLiteral("MAZZETTO %1").arg(number), area(),
            pieces == 1 ? QStringLiteral("1 pezzo") : QStringLiteral("%1 pezzi").arg(pieces)};
}

bool BulkMailing::isItalian(const archive::AddressRecord& record) {
    const QString naz = record[NAZ].trimmed().toUpper();
    return naz.isEmpty() || naz == QLatin1String("ITALIA") || naz == QLatin1String("ITALY") ||
           naz == QLatin1String("I") || naz == QLatin1String("IT");
}

bool BulkMailing::isCap(const QString& cap) {
    if (cap.size() != 5)
        return false;
    return std::all_of(cap.begin(), cap.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

std::vector<Bundle> BulkMailing::arrange(std::vector<archive::AddressRecord>& addresses,
                                         const BulkRules& rules) {
    const qint64 n = qint64(addresses.size());
    const qint64 min = std::max(1, rules.minPieces);
    std::vector<Key> keys;
    keys.reserve(std::size_t(n));
    for (const auto& r : addresses)
        keys.push_back(keyOf(r));
    std::vector<qint64> sorted(static_cast<std::size_t>(n));
    std::iota(sorted.begin(), sorted.end(), 0);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](qint64 a, qint64 b) { return before(keys[std::size_t(a)], keys[std::size_t(b)]); });

    std::vector<qint64> loose;
    std::vector<qint64> foreign;
    for (qint64 i : sorted)
        (keys[std::size_t(i)].country.isEmpty() ? loose : foreign).push_back(i);

    std::vector<Bundle> bundles;
    std::vector<qint64> order;
    order.reserve(std::size_t(n));
    const auto add = [&](Bundle::Level level, const QString& key, const QString& destination,
                         const std::vector<qint64>& pieces) {
        Bundle b;
        b.number = int(bundles.size()) + 1;
        b.level = level;
        b.key = key;
        b.destination = destination;
        b.first = qint64(order.size());
        b.pieces = qint64(pieces.size());
        order.insert(order.end(), pieces.begin(), pieces.end());
        bundles.push_back(b);
    };
    const auto keyAt = [&](qint64 i) -> const Key& { return keys[std::size_t(i)]; };

    for (const auto& g : gather(loose, min, [&](qint64 i) {
             return isCap(keyAt(i).cap) ? keyAt(i).cap : QString();
         }))
        add(Bundle::Level::Cap, keyAt(g.front()).cap, keyAt(g.front()).city, g);
    if (rules.byProvince)
        for (const auto& g : gather(loose, min, [&](qint64 i) {
                 const QString& p = keyAt(i).province;
                 return ProvinceRegions::regionOf(p).isEmpty() ? QString() : p;
             }))
            add(Bundle::Level::Province, keyAt(g.front()).province,
                ProvinceRegions::regionOf(keyAt(g.front()).province), g);
    if (rules.byRegion)
        for (const auto& g : gather(loose, min, [&](qint64 i) { return ProvinceRegions::regionOf(keyAt(i).province); }))
            add(Bundle::Level::Region, ProvinceRegions::regionOf(keyAt(g.front()).province), {}, g);
    if (!loose.empty())
        add(Bundle::Level::Italy, {}, {}, loose);
    // Foreign addresses: one bundle per country, whatever its size.
    for (const auto& g : gather(foreign, 1, [&](qint64 i) { return keyAt(i).country; }))
        add(Bundle::Level::Foreign, keyAt(g.front()).country, {}, g);

    std::vector<archive::AddressRecord> arranged;
    arranged.reserve(std::size_t(n));
    for (qint64 i : order)
        arranged.push_back(std::move(addresses[std::size_t(i)]));
    addresses.swap(arranged);
    return bundles;
}

} // namespace velomar::printing
