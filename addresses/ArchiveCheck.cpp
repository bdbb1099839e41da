#include "addresses/ArchiveCheck.h"

#include "archive/Database.h"
#include "archive/Statement.h"
#include "archive/Transaction.h"

namespace velomar::addresses {

using archive::Statement;

QList<ArchiveCheck::Suspect> ArchiveCheck::scan(archive::Database& db, const AddressCheck& check, Counts* counts,
                                                qint64 afterNr) {
    QList<Suspect> found;
    Counts local;
    Counts& c = counts ? *counts : local;
    Statement st = db.prepare(QStringLiteral("SELECT NR, CAP, CITTA, PROV, NAZ, COGNOME FROM TabMAIL WHERE NR > ?1 "
                                                  "ORDER BY NR"));
    st.bindInt(1, afterNr);
    AddressCheck::Place place;
    while (st.step()) {
        place.cap = st.text(1);
        place.citta = st.text(2);
        place.prov = st.text(3);
        place.naz = st.text(4);
        AddressCheck::Finding f = check.check(place);
        switch (f.outcome) {
        case AddressCheck::Outcome::Foreign:
            ++c.foreign;
            continue;
        case AddressCheck::Outcome::Agrees:
            ++c.checked;
            continue;
        case AddressCheck::Outcome::Locality:
            ++c.localities;
            break;
        case AddressCheck::Outcome::Suspect:
            ++c.suspects;
            break;
        }
        ++c.checked;
        found.append({st.integer(0), st.text(5), place, std::move(f)});
    }
    return found;
}

int ArchiveCheck::apply(archive::Database& db, const QList<Suspect>& chosen) {
    archive::Transaction tx(db);
    // Only where the three fields still hold what was checked.
    Statement st = db.prepare(QStringLiteral(
        "UPDATE TabMAIL SET CAP = ?1, CITTA = ?2, PROV = ?3 WHERE NR = ?4 AND IFNULL(CAP, '') = ?5 "
        "AND IFNULL(CITTA, '') = ?6 AND IFNULL(PROV, '') = ?7"));
    int changed = 0;
    for (const Suspect& s : chosen) {
        if (!s.finding.hasProposal())
            continue;
        const AddressCheck::Place& p = s.finding.proposal;
        st.bindText(1, p.cap).bindText(2, p.citta).bindText(3, p.prov).bindInt(4, s.nr);
        st.bindText(5, s.place.cap.isNull() ? QStringLiteral("") : s.place.cap);
        st.bindText(6, s.place.citta.isNull() ? QStringLiteral("") : s.place.citta);
        st.bindText(7, s.place.prov.isNull() ? QStringLiteral("") : s.place.prov);
        st.exec();
        changed += db.changes();
        st.reset();
    }
    tx.commit();
    return changed;
}

} // namespace velomar::addresses
