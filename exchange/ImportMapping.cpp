#include "exchange/ImportMapping.h"

#include "archive/DataModel.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace velomar::exchange {

namespace {

using archive::DataModel;

// Column names by field, best first: Italian names, English ones, then those of the
// exports of Google Contacts, Outlook, Thunderbird, Access (Northwind) and of our vCard
// reader. A name listed for two fields (Title) goes to the first field that has no
// better candidate.
struct FieldNames {
    int field;
    std::vector<const char*> names; // UTF-8
};

const std::vector<FieldNames>& knownNames() {
    static const std::vector<FieldNames> names{
        {DataModel::TITOLO,
         {"Titolo", "Appellativo", "Titolo di cortesia", "N.titolo", "Name Prefix", "Prefix",
          "Prefisso", "TitleOfCourtesy", "Courtesy Title", "Salutation", "Title"}},
        {DataModel::COGNOME,
         {"Cognome",
          "N.cognome",
          "Last Name",
          "Family Name",
          "Surname",
          "Ragione Sociale",
          "Denominazione",
          "Azienda",
          "Ditta",
          "Società",
          "CompanyName",
          "Company",
          "Organization Name",
          "Organization 1 - Name",
          "Organization",
          "Organisation",
          "ORG",
          "Display Name",
          "FN",
          "Nome completo",
          "Full Name",
          "Name"}},
        {DataModel::NOME1,
         {"Nome", "Nome1", "N.nome", "First Name", "Given Name", "Forename", "ContactName",
          "Contatto", "Referente"}},
        {DataModel::NOME2,
         {"Nome2", "Ruolo Istituzionale", "Ruolo", "Carica", "Qualifica", "Job Title",
          "Organization Title", "Organization 1 - Title", "ContactTitle", "TITLE", "Secondo Nome",
          "N.secondo", "Middle Name", "Additional Name"}},
        {DataModel::INDIRIZZO,
         {"Indirizzo", "Via", "Via e numero", "ADR.via", "Address", "Street", "Street Address",
          "Address 1 - Street", "Home Street", "Home Address", "Business Street", "Work Address",
          "Address Line 1"}},
        {DataModel::CAP,
         {"CAP", "C.A.P.", "Codice Postale", "ADR.cap", "Postal Code", "Postcode", "ZIP",
          "ZIP Code", "Address 1 - Postal Code", "Home Postal Code", "Home ZipCode",
          "Business Postal Code", "Work ZipCode"}},
        {DataModel::CITTA,
         {"Città", "Comune", "Località", "ADR.localita", "City", "Town", "Locality",
          "Address 1 - City", "Home City", "Business City", "Work City"}},
        {DataModel::PROV,
         {"Provincia", "Prov", "PR", "Sigla Provincia", "ADR.provincia", "Province", "Region",
          "State", "State/Province", "County", "Address 1 - Region", "Home State", "Business State",
          "Work State"}},
        {DataModel::NAZ,
         {"Nazione", "Paese", "Stato", "ADR.paese", "Country", "Country/Region", "Nation",
          "Address 1 - Country", "Home Country/Region", "Home Country", "Business Country/Region",
          "Work Country"}},
        {DataModel::NUM_TEL,
         {"Telefono", "Tel", "Telefono fisso", "Telefono casa", "Telefono ufficio", "TEL.voce",
          "Phone", "Telephone", "Phone Number", "Phone 1 - Value", "Home Phone", "Primary Phone",
          "Business Phone", "Work Phone", "Company Main Phone", "Other Phone"}},
        {DataModel::NUM_FAX,
         {"Fax", "Numero fax", "TEL.fax", "Fax Number", "Business Fax", "Home Fax", "Other Fax"}},
        {DataModel::NUM_CEL,
         {"Cellulare", "Cell", "Telefono cellulare", "TEL.cellulare", "Mobile", "Mobile Phone",
          "Mobile Number", "Cell Phone", "Cellular"}},
        {DataModel::E_MAIL,
         {"E-mail", "Mail", "Posta elettronica", "Indirizzo e-mail", "EMAIL", "E-mail Address",
          "Email Address", "Primary Email", "E-mail 1 - Value"}},
        {DataModel::GR,
         {"Gruppo", "Categoria", "CATEGORIES", "Group", "Category", "Group Membership", "Labels",
          "Gruppi", "Categorie"}},
        {DataModel::NOTE, {"Note", "Annotazioni", "Osservazioni", "Notes", "Commenti", "Comments"}},
        {DataModel::APPUNTI, {"Appunti", "Memo", "Promemoria"}},
    };
    return names;
}

constexpr int kNone = 1 << 20;

constexpr std::array<int, 5> kAddressFields{DataModel::INDIRIZZO, DataModel::CAP, DataModel::CITTA,
                                            DataModel::PROV, DataModel::NAZ};
constexpr std::array<int, 3> kPhoneFields{DataModel::NUM_TEL, DataModel::NUM_FAX, DataModel::NUM_CEL};

// "* Home" marks the primary value; the type alone, in lower case.
QString typeKey(const QString& type) {
    QString t = type.trimmed();
    if (t.startsWith(u'*'))
        t = t.mid(1).trimmed();
    return t.toLower();
}

bool isPrimary(const QString& type) {
    return type.trimmed().startsWith(u'*');
}

// The field a phone of this type fills; 0 for one that only goes to the note.
int phoneField(const QString& type) {
    const QString t = typeKey(type);
    if (t.contains(QLatin1String("fax")))
        return DataModel::NUM_FAX;
    if (t.contains(QLatin1String("mobile")) || t.contains(QLatin1String("cell")))
        return DataModel::NUM_CEL;
    static const QStringList voice{"", "main", "home", "work", "other", "principale",
                                   "casa", "lavoro", "ufficio", "altro"};
    return voice.contains(t) ? int(DataModel::NUM_TEL) : 0;
}

// A cell may hold several values of one type: "333 1 ::: 333 2".
QStringList cellValues(const QStringList& values, int column) {
    QStringList out;
    if (column < 0 || column >= values.size())
        return out;
    for (const QString& v : values[column].split(QStringLiteral(":::"))) {
        if (!v.trimmed().isEmpty())
            out << v.trimmed();
    }
    return out;
}

QString cell(const QStringList& values, int column) {
    return column >= 0 && column < values.size() ? values[column].trimmed() : QString();
}

QString withType(const QString& name, const QString& type) {
    const QString t = type.trimmed().startsWith(u'*') ? type.trimmed().mid(1).trimmed() : type.trimmed();
    return t.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, t);
}

// Rank of a column key for a field: our own field name first, then the list order.
int rankOf(int field, const QString& key) {
    if (key == ImportMapping::nameKey(DataModel::fieldName(field)))
        return -1;
    static const auto table = [] {
        QHash<int, QHash<QString, int>> t;
        for (const FieldNames& f : knownNames())
            for (int i = int(f.names.size()) - 1; i >= 0; --i)
                t[f.field].insert(
                    ImportMapping::nameKey(QString::fromUtf8(f.names[std::size_t(i)])), i);
        return t;
    }();
    return table.value(field).value(key, kNone);
}

} // namespace

QString ImportMapping::nameKey(const QString& name) {
    QString out;
    const QString decomposed = name.normalized(QString::NormalizationForm_D);
    out.reserve(decomposed.size());
    for (const QChar c : decomposed)
        if (c.isLetterOrNumber())
            out += c.toCaseFolded();
    return out;
}

int ImportMapping::fieldOfName(const QString& name) {
    const QString key = nameKey(name);
    int best = -1;
    int bestRank = kNone;
    for (int f = 1; f < archive::AddressRecord::FieldCount; ++f) {
        const int rank = rankOf(f, key);
        if (rank < bestRank) {
            best = f;
            bestRank = rank;
        }
    }
    return best;
}

ImportMapping ImportMapping::fromHeader(const QStringList& columns) {
    ImportMapping mapping(columns);
    QStringList keys;
    for (const QString& c : columns)
        keys << nameKey(c);
    std::vector<bool> used(std::size_t(columns.size()), false);
    // Fields in order, each taking its best free column: TITOLO meets "N.titolo" before
    // NOME2 is offered a vCard's TITLE.
    for (int f = 1; f < archive::AddressRecord::FieldCount; ++f) {
        int best = NoColumn;
        int bestRank = kNone;
        for (int c = 0; c < columns.size(); ++c) {
            if (used[std::size_t(c)])
                continue;
            const int rank = rankOf(f, keys[c]);
            if (rank < bestRank) {
                best = c;
                bestRank = rank;
            }
        }
        if (best != NoColumn) {
            mapping.m_field[std::size_t(f)] = best;
            used[std::size_t(best)] = true;
        }
    }
    // Contacts of a company or known by one name only have no surname: the label then
    // carries the best other name column that fills no field of its own.
    if (mapping.m_field[DataModel::COGNOME] != NoColumn) {
        std::vector<std::pair<int, int>> ranked; // rank, column
        for (int c = 0; c < columns.size(); ++c)
            if (const int rank = rankOf(DataModel::COGNOME, keys[c]);
                !used[std::size_t(c)] && rank < kNone)
                ranked.emplace_back(rank, c);
        std::sort(ranked.begin(), ranked.end());
        for (const auto& [rank, c] : ranked)
            mapping.m_surnameFallbacks << c;
    }
    mapping.findGroups();
    return mapping;
}

void ImportMapping::findGroups() {
    static const QRegularExpression pattern(
        QStringLiteral("^(Phone|E-mail|Address) (\\d+) - (Type|Label|Value|Street|City|Postal Code|"
                       "Region|Country|Formatted|PO Box|Extended Address)$"),
        QRegularExpression::CaseInsensitiveOption);
    QMap<int, Typed> phones, emails;
    QMap<int, PostalAddress> addresses;
    QList<int> grouped;
    for (int c = 0; c < m_columns.size(); ++c) {
        const auto match = pattern.match(m_columns[c].trimmed());
        if (!match.hasMatch())
            continue;
        const QString kind = match.captured(1).toLower();
        const int n = match.captured(2).toInt();
        const QString part = match.captured(3).toLower();
        const bool isType = part == u"type" || part == u"label";
        if (kind == u"address") {
            PostalAddress& a = addresses[n];
            a.name = QStringLiteral("%1 %2").arg(match.captured(1)).arg(n);
            static const QStringList parts{"street", "postal code", "city", "region", "country"};
            if (isType)
                a.type = c;
            else if (const qsizetype i = parts.indexOf(part); i >= 0)
                a.parts[std::size_t(i)] = c; // Formatted, PO Box, Extended Address: the group's, unused
        } else if (isType || part == u"value") {
            Typed& t = (kind == u"phone" ? phones : emails)[n];
            t.name = QStringLiteral("%1 %2").arg(match.captured(1)).arg(n);
            (isType ? t.type : t.value) = c;
        } else {
            continue;
        }
        grouped << c;
    }
    const auto take = [&](const auto& groups, auto& into, const auto& fields) {
        for (const auto& g : groups)
            into << g;
        if (into.isEmpty())
            return;
        // The groups take over from a group column the names chose (Phone 1 - Value).
        for (int f : fields)
            if (m_field[std::size_t(f)] == NoColumn || grouped.contains(m_field[std::size_t(f)]))
                m_field[std::size_t(f)] = FromGroups;
    };
    take(phones, m_phones, kPhoneFields);
    take(emails, m_emails, std::array<int, 1>{DataModel::E_MAIL});
    take(addresses, m_addresses, kAddressFields);
    for (int c : grouped)
        m_surnameFallbacks.removeAll(c);
    if (!m_phones.isEmpty() || !m_emails.isEmpty() || !m_addresses.isEmpty())
        m_grouped = grouped;
}

bool ImportMapping::fromGroups(int field) const {
    return field >= 1 && field < archive::AddressRecord::FieldCount &&
           m_field[std::size_t(field)] == FromGroups;
}

QString ImportMapping::groupCaption(int field) const {
    const auto range = [](const auto& groups) {
        const QString first = groups.first().name;
        return groups.size() == 1 ? first
                                  : QStringLiteral("%1-%2").arg(first).arg(groups.last().name.section(u' ', -1));
    };
    if (std::find(kPhoneFields.begin(), kPhoneFields.end(), field) != kPhoneFields.end() &&
        !m_phones.isEmpty())
        return QStringLiteral("%1, secondo il tipo").arg(range(m_phones));
    if (field == DataModel::E_MAIL && !m_emails.isEmpty())
        return QStringLiteral("%1, il principale").arg(range(m_emails));
    if (std::find(kAddressFields.begin(), kAddressFields.end(), field) != kAddressFields.end() &&
        !m_addresses.isEmpty())
        return m_addressChoice == AutoAddress
                   ? QStringLiteral("%1: Home, altrimenti il primo con la via").arg(range(m_addresses))
                   : m_addresses[m_addressChoice].name;
    return {};
}

QStringList ImportMapping::addressNames() const {
    QStringList names;
    for (const PostalAddress& a : m_addresses)
        names << a.name;
    return names;
}

void ImportMapping::setAddressChoice(int index) {
    m_addressChoice = index >= 0 && index < m_addresses.size() ? index : AutoAddress;
}

int ImportMapping::addressTaken(const QStringList& values) const {
    if (m_addressChoice != AutoAddress)
        return m_addressChoice;
    const auto any = [&](const PostalAddress& a) {
        for (int c : a.parts)
            if (!cell(values, c).isEmpty())
                return true;
        return false;
    };
    for (int i = 0; i < m_addresses.size(); ++i) {
        const QString type = typeKey(cell(values, m_addresses[i].type));
        if ((type == u"home" || type == u"casa") && any(m_addresses[i]))
            return i;
    }
    for (int i = 0; i < m_addresses.size(); ++i)
        if (!cell(values, m_addresses[i].parts[0]).isEmpty())
            return i;
    for (int i = 0; i < m_addresses.size(); ++i)
        if (any(m_addresses[i]))
            return i;
    return -1;
}

QString ImportMapping::addressTakenName(const QStringList& values) const {
    const int i = addressTaken(values);
    return i < 0 ? QString() : withType(m_addresses[i].name, cell(values, m_addresses[i].type));
}

void ImportMapping::route(const QStringList& values, archive::AddressRecord* record,
                          QStringList* leftovers) const {
    // A column chosen by hand for a field is that field's, not the groups'.
    const auto byHand = [&](int column) {
        return std::find(m_field.begin(), m_field.end(), column) != m_field.end();
    };
    const auto fill = [&](int field, const QString& value) {
        if (!fromGroups(field))
            return false;
        QString& slot = (*record)[field];
        if (!slot.isEmpty())
            return false;
        slot = value;
        return true;
    };
    archive::AddressRecord scratch;
    if (!record)
        record = &scratch;
    for (const Typed& t : m_phones) {
        if (byHand(t.value))
            continue;
        const QString type = cell(values, t.type);
        const int field = phoneField(type);
        for (const QString& v : cellValues(values, t.value))
            if (!(field && fill(field, v)) && leftovers)
                *leftovers << QStringLiteral("%1: %2").arg(withType(t.name, type), v);
    }
    // The primary e-mail first, the others in their order.
    QList<Typed> emails = m_emails;
    std::stable_partition(emails.begin(), emails.end(),
                          [&](const Typed& t) { return isPrimary(cell(values, t.type)); });
    for (const Typed& t : emails) {
        if (byHand(t.value))
            continue;
        const QString type = cell(values, t.type);
        for (const QString& v : cellValues(values, t.value))
            if (!fill(DataModel::E_MAIL, v) && leftovers)
                *leftovers << QStringLiteral("%1: %2").arg(withType(t.name, type), v);
    }
    const int taken = addressTaken(values);
    for (int i = 0; i < m_addresses.size(); ++i) {
        const PostalAddress& a = m_addresses[i];
        if (i == taken) {
            for (std::size_t k = 0; k < kAddressFields.size(); ++k)
                if (!byHand(a.parts[k]))
                    fill(kAddressFields[k], cell(values, a.parts[k]));
            continue;
        }
        QStringList parts;
        for (int c : a.parts)
            if (!byHand(c) && !cell(values, c).isEmpty())
                parts << cell(values, c).replace(u'\n', QStringLiteral(", "));
        if (!parts.isEmpty() && leftovers)
            *leftovers << QStringLiteral("%1: %2").arg(withType(a.name, cell(values, a.type)),
                                                       parts.join(QStringLiteral(", ")));
    }
}

QStringList ImportMapping::groupLeftovers(const QStringList& values) const {
    QStringList out;
    route(values, nullptr, &out);
    return out;
}

QList<int> ImportMapping::sourcesOf(int field) const {
    QList<int> out = fallbacks(field);
    if (const int c = column(field); c >= 0)
        out << c;
    if (!fromGroups(field))
        return out;
    for (const auto* groups : {&m_phones, &m_emails})
        for (const Typed& t : *groups)
            out << t.value;
    for (const PostalAddress& a : m_addresses)
        for (int c : a.parts)
            out << c;
    return out;
}

int ImportMapping::column(int field) const {
    if (field < 1 || field >= archive::AddressRecord::FieldCount)
        return NoColumn;
    return m_field[std::size_t(field)];
}

QList<int> ImportMapping::fallbacks(int field) const {
    return field == DataModel::COGNOME ? m_surnameFallbacks : QList<int>();
}

void ImportMapping::setColumn(int field, int column) {
    if (field < 1 || field >= archive::AddressRecord::FieldCount)
        return;
    if (field == DataModel::COGNOME)
        m_surnameFallbacks.clear();
    if (column == FromGroups && !groupCaption(field).isEmpty()) {
        m_field[std::size_t(field)] = FromGroups;
        return;
    }
    m_field[std::size_t(field)] = (column >= 0 && column < m_columns.size()) ? column : NoColumn;
}

bool ImportMapping::set(const QString& fieldName, const QString& columnName) {
    const int field = DataModel::fieldIndex(fieldName.trimmed());
    if (field < 1)
        return false;
    if (columnName.isEmpty()) {
        setColumn(field, NoColumn);
        return true;
    }
    int column = int(m_columns.indexOf(columnName));
    if (column < 0) {
        const QString key = nameKey(columnName);
        for (int c = 0; c < m_columns.size() && column < 0; ++c)
            if (nameKey(m_columns[c]) == key)
                column = c;
    }
    if (column < 0)
        return false;
    setColumn(field, column);
    return true;
}

bool ImportMapping::isOneToOne() const {
    if (m_columns.isEmpty())
        return false;
    std::array<bool, archive::AddressRecord::FieldCount> seen{};
    for (int c = 0; c < m_columns.size(); ++c) {
        const int f = DataModel::fieldIndex(m_columns[c]);
        if (f < 0 || DataModel::fieldName(f) != m_columns[c] || seen[std::size_t(f)])
            return false;
        seen[std::size_t(f)] = true;
        if (f > 0 && m_field[std::size_t(f)] != c)
            return false;
    }
    for (int f = 1; f < archive::AddressRecord::FieldCount; ++f)
        if (!seen[std::size_t(f)] && m_field[std::size_t(f)] != NoColumn)
            return false;
    return true;
}

QList<int> ImportMapping::unmappedColumns() const {
    const QList<int>& grouped = m_grouped;
    QList<int> out;
    for (int c = 0; c < m_columns.size(); ++c)
        if (std::find(m_field.begin(), m_field.end(), c) == m_field.end() &&
            !m_surnameFallbacks.contains(c) && !grouped.contains(c))
            out << c;
    return out;
}

void ImportMapping::apply(const QStringList& values, archive::AddressRecord& record) const {
    record[0].clear();
    for (int f = 1; f < archive::AddressRecord::FieldCount; ++f) {
        const int c = m_field[std::size_t(f)];
        if (c >= 0 && c < values.size())
            record[f] = values[c];
        else
            record[f].clear();
    }
    if (record[DataModel::COGNOME].trimmed().isEmpty())
        for (int c : m_surnameFallbacks)
            if (c < values.size() && !values[c].trimmed().isEmpty()) {
                record[DataModel::COGNOME] = values[c];
                break;
            }
    route(values, &record, nullptr);
}

} // namespace velomar::exchange
