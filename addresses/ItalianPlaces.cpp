#include "addresses/ItalianPlaces.h"

#include "addresses/PlaceKey.h"
#include "common/AppError.h"
#include "settings/ProgramSetup.h"
#include "settings/Settings.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>
#include <optional>

namespace velomar::addresses {

namespace {

constexpr int kCittaWidth = 24;

// Rows of a built-in semicolon file, heading dropped.
QList<QStringList> readRows(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw common::AppError(53, QStringLiteral("Elenco dei comuni mancante: %1").arg(path));
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    QList<QStringList> rows;
    in.readLine();
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (!line.trimmed().isEmpty())
            rows.append(line.split(u';'));
    }
    return rows;
}

void addTo(QHash<QString, QList<int>>& map, const QString& key, int index) {
    QList<int>& list = map[key];
    if (!list.contains(index))
        list.append(index);
}

} // namespace

const ItalianPlaces& ItalianPlaces::builtin() {
    static const ItalianPlaces places = [] {
        ItalianPlaces p;
        p.load();
        return p;
    }();
    return places;
}

void ItalianPlaces::load() {
    const auto comuni = readRows(QStringLiteral(":/comuni/comuni.csv"));
    comuni_.reserve(comuni.size());
    for (const QStringList& r : comuni) {
        if (r.size() < 3)
            continue;
        const int i = int(comuni_.size());
        comuni_.append({r[0], r[1], r[2], {}});
        addTo(byKey_, PlaceKey::of(r[0]), i);
        addTo(bySaints_, PlaceKey::saints(r[0]), i);
        if (r[0].size() > kCittaWidth)
            longNames_.append(i);
    }
    auto sortBy = [this](Sorted& sorted, QString (*keyOf)(QStringView)) {
        QStringList keys;
        for (const Comune& c : comuni_) {
            keys.append(keyOf(c.name));
            sorted.comuni.append(int(sorted.comuni.size()));
        }
        std::sort(sorted.comuni.begin(), sorted.comuni.end(), [&](int a, int b) { return keys[a] < keys[b]; });
        for (int i : sorted.comuni)
            sorted.keys.append(keys[i]);
    };
    sortBy(byName_, &PlaceKey::of);
    sortBy(bySaintName_, &PlaceKey::saints);

    for (const QStringList& r : readRows(QStringLiteral(":/comuni/province.csv"))) {
        if (r.size() < 4)
            continue;
        Province p{r[0], r[1], r[2], {}};
        for (const QString& span : r[3].split(u' ', Qt::SkipEmptyParts)) {
            const QStringList ends = span.split(u'-');
            const int first = ends.first().toInt();
            const int last = ends.last().toInt();
            p.caps.append({first, last});
            spans_.append({first, last, p.code});
            widestSpan_ = std::max(widestSpan_, last - first);
        }
        // "Bolzano/Bozen" answers to each half as well.
        provinceNames_.insert(PlaceKey::of(p.name), p.code);
        for (const QString& half : p.name.split(u'/'))
            provinceNames_.insert(PlaceKey::of(half), p.code);
        provinces_.insert(p.code, p);
    }
    std::sort(spans_.begin(), spans_.end(), [](const Span& a, const Span& b) { return a.first < b.first; });
    for (const QStringList& r : readRows(QStringLiteral(":/comuni/province-nomi.csv")))
        if (r.size() >= 2)
            provinceNames_.insert(PlaceKey::of(r[1]), r[0]);
    for (const QStringList& r : readRows(QStringLiteral(":/comuni/province-soppresse.csv"))) {
        if (r.size() < 3)
            continue;
        successors_.insert(r[0], r[2].split(u' ', Qt::SkipEmptyParts));
        abolishedNames_.insert(r[0], r[1]);
    }
    for (const QStringList& r : readRows(QStringLiteral(":/comuni/comuni-soppressi.csv"))) {
        if (r.size() < 4)
            continue;
        Ended e{r[0], r[1], r[2], {}};
        for (const QString& next : r[3].split(u'|', Qt::SkipEmptyParts)) {
            const QString name = next.section(u':', 0, -2);
            const QString prov = next.section(u':', -1);
            for (int i : byKey_.value(PlaceKey::of(name)))
                if (comuni_[i].prov == prov)
                    e.successors.append(i);
        }
        endedByKey_[PlaceKey::of(e.name)].append(int(ended_.size()));
        ended_.append(e);
    }
}

QList<const ItalianPlaces::Ended*> ItalianPlaces::ended(QStringView name) const {
    QList<const Ended*> found;
    for (int i : endedByKey_.value(PlaceKey::of(name)))
        found.append(&ended_[i]);
    return found;
}

QString ItalianPlaces::capTablePath(const settings::Settings& settings) {
    if (const auto chosen = settings.capTable())
        return *chosen;
    for (const QString name : {QStringLiteral("CAP.csv"), QStringLiteral("comuni.json")})
        if (const QString path = settings::ProgramSetup::programFile(name, settings); !path.isEmpty())
            return path;
    return {};
}

ItalianPlaces ItalianPlaces::forUser(const settings::Settings& settings) {
    const QString path = capTablePath(settings);
    if (path.isEmpty())
        return builtin();
    // Each entry form asks again: the table is read once until it changes.
    static QString cachedPath;
    static QDateTime cachedTime;
    static std::optional<ItalianPlaces> cached;
    const QDateTime modified = QFileInfo(path).lastModified();
    if (!cached || cachedPath != path || cachedTime != modified) {
        cached = withCapTable(path);
        cachedPath = path;
        cachedTime = modified;
    }
    return *cached;
}

ItalianPlaces ItalianPlaces::withCapTable(const QString& path) {
    ItalianPlaces p = builtin();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw common::AppError(53, QStringLiteral("Tabella dei CAP non leggibile: %1\n(%2)").arg(path, f.errorString()));
    const QByteArray data = f.readAll();
    if (path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive)) {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
        if (!doc.isArray())
            throw common::AppError(
                13, QStringLiteral("Tabella dei CAP non valida: %1\n(%2)").arg(path, error.errorString()));
        for (const QJsonValue& v : doc.array()) {
            const QJsonObject o = v.toObject();
            for (const QJsonValue& cap : o.value(QStringLiteral("cap")).toArray())
                p.addCap(o.value(QStringLiteral("nome")).toString(), o.value(QStringLiteral("sigla")).toString(),
                         cap.toString());
        }
    } else {
        for (const QString& line : QString::fromUtf8(data).split(u'\n')) {
            const QStringList r = line.trimmed().split(u';');
            if (r.size() >= 3)
                p.addCap(r[0].trimmed(), r[1].trimmed().toUpper(), r[2].trimmed());
        }
    }
    p.hasCapTable_ = true;
    return p;
}

void ItalianPlaces::addCap(const QString& comune, const QString& prov, const QString& cap) {
    if (cap.size() != 5)
        return;
    QList<int> owners;
    for (int i : byKey_.value(PlaceKey::of(comune)))
        if (comuni_[i].prov == prov)
            owners.append(i);
    // A table older than the list names comuni since ended: their codes are their successor's.
    for (const Ended* e : ended(comune))
        if (e->prov == prov && e->successors.size() == 1 && !owners.contains(e->successors.first()))
            owners.append(e->successors.first());
    for (int i : owners) {
        Comune& c = comuni_[i];
        if (!c.caps.contains(cap)) {
            c.caps.append(cap);
            addTo(byCap_, cap, i);
        }
    }
}

QList<int> ItalianPlaces::find(QStringView name) const {
    const auto exact = byKey_.constFind(PlaceKey::of(name));
    if (exact != byKey_.cend())
        return *exact;
    return bySaints_.value(PlaceKey::saints(name));
}

bool ItalianPlaces::foundBySaints(QStringView name) const {
    return !byKey_.contains(PlaceKey::of(name)) && bySaints_.contains(PlaceKey::saints(name));
}

QList<int> ItalianPlaces::findCut(QStringView name) const {
    QList<int> found;
    if (name.size() < kCittaWidth)
        return found;
    for (int i : longNames_)
        if (comuni_[i].name.startsWith(name, Qt::CaseInsensitive) ||
            PlaceKey::of(comuni_[i].name).startsWith(PlaceKey::of(name)))
            found.append(i);
    return found;
}

QList<int> ItalianPlaces::comuniOfCap(const QString& cap) const { return byCap_.value(cap); }

QList<int> ItalianPlaces::startingWith(QStringView prefix, int limit) const {
    QList<int> found;
    // "S.Gio" is a prefix of the saint-folded names only.
    for (const auto& [sorted, key] : {std::pair{&byName_, PlaceKey::of(prefix)}, std::pair{&bySaintName_, PlaceKey::saints(prefix)}}) {
        if (key.isEmpty())
            continue;
        auto it = std::lower_bound(sorted->keys.cbegin(), sorted->keys.cend(), key);
        for (; it != sorted->keys.cend() && it->startsWith(key) && found.size() < limit; ++it) {
            const int i = sorted->comuni[int(it - sorted->keys.cbegin())];
            if (!found.contains(i))
                found.append(i);
        }
    }
    return found;
}

const ItalianPlaces::Province* ItalianPlaces::province(const QString& code) const {
    const auto it = provinces_.constFind(code);
    return it == provinces_.cend() ? nullptr : &*it;
}

QStringList ItalianPlaces::provinceCodes() const {
    QStringList codes = provinces_.keys();
    codes.sort();
    return codes;
}

QString ItalianPlaces::provinceByName(QStringView name) const { return provinceNames_.value(PlaceKey::of(name)); }

QStringList ItalianPlaces::successors(const QString& code) const { return successors_.value(code); }

QString ItalianPlaces::abolishedName(const QString& code) const { return abolishedNames_.value(code); }

QStringList ItalianPlaces::provincesOfCap(int cap) const {
    QStringList codes;
    auto it = std::upper_bound(spans_.cbegin(), spans_.cend(), cap,
                               [](int c, const Span& s) { return c < s.first; });
    // Look back over the ranges that start at or before the code, as far as the widest.
    while (it != spans_.cbegin()) {
        --it;
        if (cap <= it->last && !codes.contains(it->code))
            codes.append(it->code);
        if (it->first < cap - widestSpan_)
            break;
    }
    return codes;
}

bool ItalianPlaces::capInProvince(int cap, const QString& code) const {
    const Province* p = province(code);
    if (!p)
        return false;
    return std::any_of(p->caps.cbegin(), p->caps.cend(), [cap](auto r) { return r.first <= cap && cap <= r.second; });
}

} // namespace velomar::addresses
