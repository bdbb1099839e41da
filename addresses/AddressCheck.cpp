#include "addresses/AddressCheck.h"

#include "addresses/ItalianPlaces.h"
#include "addresses/PlaceKey.h"

#include <QStringList>

#include <algorithm>

namespace velomar::addresses {

namespace {

constexpr int kCittaWidth = 24;

bool isCap(const QString& cap) {
    if (cap.size() != 5)
        return false;
    for (QChar c : cap)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

bool isUpper(const QString& text) { return text == text.toUpper(); }

// The comune's name as the user would store it: capitals when they write in capitals,
// shortened when too long for CITTA.
QString storedName(const QString& name, const QString& typed) {
    const QString n = PlaceKey::forCitta(name);
    return isUpper(typed) ? n.toUpper() : n;
}

// A general CAP of a town with several ("20100" for Milano) belongs to it too.
bool isGeneralCap(const QString& cap, const QStringList& caps) {
    return caps.size() > 1 && cap.endsWith(QLatin1String("100")) && caps.first().left(2) == cap.left(2);
}

} // namespace

AddressCheck::AddressCheck(const ItalianPlaces& places) : places_(places) {}

bool AddressCheck::isItalian(const QString& naz) {
    const QString n = PlaceKey::of(naz);
    return n.isEmpty() || n == u"italia" || n == u"italy" || n == u"it" || n == u"i";
}

QString AddressCheck::describe(const Place& p) {
    QStringList parts;
    if (!p.cap.isEmpty())
        parts << p.cap;
    if (!p.citta.isEmpty())
        parts << p.citta;
    if (!p.prov.isEmpty())
        parts << QStringLiteral("(%1)").arg(p.prov);
    return parts.join(u' ');
}

AddressCheck::Finding AddressCheck::check(const Place& in) const {
    Finding f;
    f.proposal = in;
    if (!isItalian(in.naz)) {
        f.outcome = Outcome::Foreign;
        return f;
    }
    const QString cap = in.cap.trimmed();
    const QString city = in.citta.trimmed();
    const QString prov = in.prov.trimmed().toUpper();
    if (cap.isEmpty() && city.isEmpty() && prov.isEmpty())
        return f; // no place to check
    QStringList reasons;
    Place& out = f.proposal;

    // The province as written: a code, an old code, a name written out or nothing known.
    QString code;
    QStringList abolishedTo;
    if (!prov.isEmpty()) {
        if (places_.province(prov)) {
            code = prov;
        } else if (!(abolishedTo = places_.successors(prov)).isEmpty()) {
            reasons << QStringLiteral("provincia soppressa (%1, %2)").arg(prov, places_.abolishedName(prov));
            if (abolishedTo.size() == 1)
                out.prov = abolishedTo.first();
        } else if (const QString byName = places_.provinceByName(prov); !byName.isEmpty()) {
            reasons << QStringLiteral("provincia scritta per esteso");
            code = byName;
            out.prov = byName;
        } else {
            reasons << QStringLiteral("provincia sconosciuta (%1)").arg(prov);
        }
    }
    const bool capOk = isCap(cap);
    const int capValue = capOk ? cap.toInt() : -1;
    const QStringList capProvinces = capOk ? places_.provincesOfCap(capValue) : QStringList();

    QList<int> found = city.isEmpty() ? QList<int>() : places_.find(city);
    bool cut = false;
    if (found.isEmpty() && !city.isEmpty()) {
        found = places_.findCut(city);
        cut = !found.isEmpty();
    }
    // Several comuni share a name: the province, then the CAP, tells them apart.
    auto narrow = [&](auto keep) {
        QList<int> kept;
        for (int i : found)
            if (keep(places_.comuni()[i]))
                kept.append(i);
        if (!kept.isEmpty())
            found = kept;
    };
    if (found.size() > 1 && !code.isEmpty())
        narrow([&](const ItalianPlaces::Comune& c) { return c.prov == code; });
    if (found.size() > 1 && !abolishedTo.isEmpty())
        narrow([&](const ItalianPlaces::Comune& c) { return abolishedTo.contains(c.prov); });
    if (found.size() > 1 && capOk)
        narrow([&](const ItalianPlaces::Comune& c) { return places_.capInProvince(capValue, c.prov); });

    // "Calliano (AT)" is no longer the Trentino Calliano but one ended in its own province.
    if (!found.isEmpty() && !code.isEmpty() &&
        std::none_of(found.cbegin(), found.cend(),
                     [&](int i) { return places_.comuni()[i].prov == code; })) {
        const auto gone = places_.ended(city);
        if (std::any_of(gone.cbegin(), gone.cend(), [&](const auto* e) { return e->prov == code; }))
            found.clear();
    }
    // A comune since ended: its one successor stands in for it; else only the fault is said.
    bool ended = false;
    bool endedUnresolved = false;
    if (found.isEmpty() && !city.isEmpty()) {
        QList<const ItalianPlaces::Ended*> gone = places_.ended(city);
        auto keep = [&](auto test) {
            QList<const ItalianPlaces::Ended*> kept;
            for (const auto* e : gone)
                if (test(*e))
                    kept.append(e);
            if (!kept.isEmpty())
                gone = kept;
        };
        if (gone.size() > 1 && !prov.isEmpty())
            keep([&](const ItalianPlaces::Ended& e) { return e.prov == prov || e.prov == code; });
        if (gone.size() > 1 && capOk)
            keep([&](const ItalianPlaces::Ended& e) {
                return places_.capInProvince(capValue, e.prov);
            });
        if (!gone.isEmpty()) {
            ItalianPlaces::Ended e = *gone.first();
            // Merged into one of several: the CAP table tells which one uses the address's CAP.
            if (e.successors.size() > 1 && capOk) {
                QList<int> byCap;
                for (int i : e.successors)
                    if (places_.comuni()[i].caps.contains(cap))
                        byCap.append(i);
                if (byCap.size() == 1)
                    e.successors = byCap;
            }
            const QString when =
                e.year.isEmpty() ? QString() : QStringLiteral(" nel %1").arg(e.year);
            if (gone.size() == 1 && e.successors.size() == 1) {
                const ItalianPlaces::Comune& now = places_.comuni()[e.successors.first()];
                if (PlaceKey::of(now.name) == PlaceKey::of(city))
                    reasons
                        << QStringLiteral("comune passato alla provincia %1%2").arg(now.prov, when);
                else
                    reasons << QStringLiteral("comune soppresso o rinominato%1: ora %2")
                                   .arg(when, now.name);
                found = {e.successors.first()};
                ended = true;
            } else {
                QStringList names;
                for (int i : e.successors)
                    names << QStringLiteral("%1 (%2)").arg(places_.comuni()[i].name,
                                                           places_.comuni()[i].prov);
                reasons << (names.isEmpty() ? QStringLiteral("comune soppresso%1").arg(when)
                                            : QStringLiteral("comune soppresso%1: ora uno fra %2")
                                                  .arg(when, names.join(QStringLiteral(", "))));
                f.ambiguous = true;
                endedUnresolved = true;
            }
        }
    }

    if (city.isEmpty()) {
        reasons << QStringLiteral("comune mancante");
    } else if (endedUnresolved) {
        if (capOk && !code.isEmpty() && !capProvinces.contains(code))
            reasons << (capProvinces.isEmpty() ? QStringLiteral("CAP di nessuna provincia")
                                               : QStringLiteral("CAP di un'altra provincia (%1)")
                                                     .arg(capProvinces.join(QStringLiteral(", "))));
    } else if (found.isEmpty()) {
        const bool agree = capOk && !code.isEmpty() && capProvinces.contains(code);
        if (agree && reasons.isEmpty()) {
            f.outcome = Outcome::Locality;
            f.reason = QStringLiteral("località non comune");
            return f;
        }
        reasons << (agree ? QStringLiteral("località non comune") : QStringLiteral("comune sconosciuto"));
    } else if (found.size() > 1) {
        QStringList provs;
        for (int i : found)
            provs << places_.comuni()[i].prov;
        reasons << QStringLiteral("comune di più province (%1)").arg(provs.join(QStringLiteral(", ")));
        f.ambiguous = true;
    } else {
        const ItalianPlaces::Comune& c = places_.comuni()[found.first()];
        const QString name = storedName(c.name, city);
        const bool tooLong = PlaceKey::shortened(c.name).size() > kCittaWidth;
        if (ended) {
            out.citta = name;
        } else if (cut) {
            // Cut where CITTA ends is the best a name that does not fit can be.
            if (city.compare(name, Qt::CaseInsensitive) != 0) {
                reasons << QStringLiteral("nome del comune troncato");
                out.citta = name;
            }
        } else if (city.compare(c.name, Qt::CaseInsensitive) != 0 && !places_.foundBySaints(city) &&
                   city.compare(name, Qt::CaseInsensitive) != 0) {
            reasons << QStringLiteral("comune scritto senza accento o apostrofo");
            out.citta = name;
        }
        if (city.size() > kCittaWidth) {
            reasons << QStringLiteral("il nome non entra in CITTA (%1 caratteri)").arg(city.size());
            out.citta = name;
        } else if (out.citta != city && tooLong)
            reasons << QStringLiteral("il nome non entra in CITTA (%1 caratteri)").arg(PlaceKey::shortened(c.name).size());

        if (prov.isEmpty()) {
            reasons << QStringLiteral("provincia mancante");
            out.prov = c.prov;
        } else if (!abolishedTo.isEmpty()) {
            out.prov = c.prov;
        } else if (!code.isEmpty() && code != c.prov) {
            if (!ended) // the ended comune's reason says it already
                reasons << QStringLiteral("provincia non del comune (%1 è %2)").arg(c.name, c.prov);
            out.prov = c.prov;
        } else if (code.isEmpty()) {
            out.prov = c.prov;
        }

        const bool ownCap = c.caps.contains(cap) || isGeneralCap(cap, c.caps);
        QString capReason;
        if (cap.isEmpty())
            capReason = QStringLiteral("CAP mancante");
        else if (!capOk)
            capReason = QStringLiteral("CAP non valido");
        else if (!places_.capInProvince(capValue, c.prov))
            capReason = capProvinces.isEmpty()
                            ? QStringLiteral("CAP di nessuna provincia")
                            : QStringLiteral("CAP di un'altra provincia (%1)").arg(capProvinces.join(QStringLiteral(", ")));
        else if (!c.caps.isEmpty() && !ownCap)
            capReason = QStringLiteral("CAP non del comune");
        if (!capReason.isEmpty()) {
            if (c.caps.size() == 1) {
                out.cap = c.caps.first();
            } else {
                f.ambiguous = true;
                if (!c.caps.isEmpty())
                    capReason += QStringLiteral(" (CAP del comune: %1)").arg(c.caps.join(QStringLiteral(", ")));
            }
            reasons << capReason;
        }
    }
    if (reasons.isEmpty())
        return f;
    f.outcome = Outcome::Suspect;
    f.reason = reasons.join(QStringLiteral("; "));
    f.changed = out.cap != in.cap || out.citta != in.citta || out.prov != in.prov;
    return f;
}

} // namespace velomar::addresses
