#include "addresses/HouseholdSource.h"

#include "addresses/AddressNormaliser.h"
#include "archive/DataModel.h"

#include <QHash>

namespace velomar::addresses {

using archive::AddressRecord;
using archive::DataModel;

QString HouseholdSource::doorOf(const AddressRecord& r) {
    const NormalisedAddress n = AddressNormaliser::of({}, {}, r[DataModel::INDIRIZZO], r[DataModel::CAP],
                                                      r[DataModel::CITTA]);
    if (n.street.isEmpty() && n.civic.isEmpty())
        return {};
    return (n.cap.isEmpty() ? n.town : n.cap) + u'|' + n.streetKind + u'|' + n.street + u'|' + n.civic;
}

HouseholdSource::HouseholdSource(archive::AddressSource& source) {
    struct Door {
        std::size_t at;    // in m_out
        QString surname;   // normalised; "" once two surnames differ
        int members = 1;
    };
    QHash<QString, Door> doors;
    AddressRecord r;
    while (source.next(r)) {
        const QString door = doorOf(r);
        if (!door.isEmpty()) {
            const auto it = doors.find(door);
            if (it != doors.end()) {
                ++it->members;
                if (it->surname != AddressNormaliser::person(r[DataModel::COGNOME]))
                    it->surname.clear();
                ++m_joined;
                continue;
            }
            doors.insert(door, {m_out.size(), AddressNormaliser::person(r[DataModel::COGNOME])});
        }
        m_out.push_back(r);
    }
    for (const Door& d : std::as_const(doors)) {
        if (d.members < 2 || d.surname.isEmpty())
            continue;
        AddressRecord& family = m_out[d.at];
        family[DataModel::COGNOME] = QStringLiteral("FAMIGLIA ") + family[DataModel::COGNOME].simplified().toUpper();
        family[DataModel::TITOLO].clear();
        family[DataModel::NOME1].clear();
        family[DataModel::NOME2].clear();
    }
}

bool HouseholdSource::next(AddressRecord& record) {
    if (m_next >= m_out.size())
        return false;
    record = m_out[m_next++];
    return true;
}

} // namespace velomar::addresses
