#include "exchange/ImportMapping.h"

#include "archive/DataModel.h"

#include <QHash>
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
    return mapping;
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
    QList<int> out;
    for (int c = 0; c < m_columns.size(); ++c)
        if (std::find(m_field.begin(), m_field.end(), c) == m_field.end() &&
            !m_surnameFallbacks.contains(c))
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
}

} // namespace velomar::exchange
