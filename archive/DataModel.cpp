#include "archive/DataModel.h"

#include <array>

namespace velomar::archive {

namespace {

struct FieldInfo {
    const char* name;
    const char* heading;
    int width;
    const char* caption; // UTF-8
    const char* sort;
};

constexpr std::array<FieldInfo, DataModel::FieldCount> kFields{{
    {"NR", "Nr.", 5, "", "NR"},
    {"TITOLO", "Titolo", 35, "Titolo (35)", "TITOLO,COGNOME"},
    {"COGNOME", "Cognome", 35, "Cognome (35)", "COGNOME,NOME1"},
    {"NOME1", "Nome", 35, "Nome1 (35)", "NOME1,COGNOME"},
    {"NOME2", "Ruolo Istituzionale", 35, "Nome2 (35)", "NOME2,NOME1"},
    {"INDIRIZZO", "Indirizzo", 35, "Indirizzo (35)", "INDIRIZZO,COGNOME"},
    {"CAP", "CAP", 5, "CAP-8888", "CAP,CITTA,COGNOME"},
    {"CITTA", "Città", 24, "Citta (24)", "CITTA,COGNOME"},
    {"PROV", "Provincia", 2, "", "PROV,CITTA,COGNOME"},
    {"NAZ", "Nazione", 3, "NAZ (25)", "NAZ,CITTA,COGNOME"},
    {"NUM_TEL", "Telefono", 16, "Telefono (16)", "NUM_TEL"},
    {"NUM_FAX", "Fax", 16, "Fax (16)", "NUM_FAX"},
    {"NUM_CEL", "Cellulare", 16, "Cellulare (16)", "NUM_CEL"},
    {"E_MAIL", "E-Mail", 35, "E-Mail (38)", "E_MAIL"},
    {"GR", "Gruppo", 2, "", "GR,COGNOME"},
    {"NOTE", "Note", 170, "Note (170)", "NOTE,COGNOME"},
    {"APPUNTI", "Appunti", 170, "Appunti (MEMO)", "APPUNTI,COGNOME"},
}};

// Leading blanks of CAP and CITTA read besides their print width.
constexpr int kLeadingBlanks = 1000;

bool inRange(int index) { return index >= 0 && index < DataModel::FieldCount; }

} // namespace

QString DataModel::fieldName(int index) {
    return inRange(index) ? QString::fromLatin1(kFields[std::size_t(index)].name) : QString();
}

QString DataModel::columnHeading(int index) {
    return inRange(index) ? QString::fromUtf8(kFields[std::size_t(index)].heading) : QString();
}

int DataModel::columnWidth(int index) { return inRange(index) ? kFields[std::size_t(index)].width : 0; }

QString DataModel::entryCaption(int index) {
    return inRange(index) ? QString::fromUtf8(kFields[std::size_t(index)].caption) : QString();
}

int DataModel::fieldIndex(const QString& name) {
    for (int i = 0; i < FieldCount; ++i)
        if (name.compare(QLatin1String(kFields[std::size_t(i)].name), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DataModel::fieldSize(int index) {
    // The entry form's limits, which differ from the column widths of lists.
    static constexpr std::array<int, FieldCount> sizes{0,  35, 35, 35, 35, 35, 8,  30, 2,
                                                       25, 16, 16, 16, 38, 2,  170, 0};
    return inRange(index) ? sizes[std::size_t(index)] : 0;
}

int DataModel::printWidth(int index) {
    switch (index) {
    case APPUNTI:
        return columnWidth(APPUNTI);
    case CAP:
    case CITTA:
        // Trimmed, the two make a label's locality line of up to 33 characters.
        return 33;
    case PROV:
        // One more than is printed: a province prints only when exactly 2 long.
        return fieldSize(PROV) + 1;
    default:
        return fieldSize(index);
    }
}

QString DataModel::printColumn(int index) {
    const QString name = fieldName(index);
    const int width = printWidth(index);
    if (width <= 0)
        return name;
    if (index == CAP || index == CITTA) {
        // Labels trim these: leading blanks (up to a bound, for a value of blanks alone)
        // do not count towards the width, so the text after them is still read.
        return QStringLiteral("substr(%1, 1, %2 + min(length(%1) - length(ltrim(%1)), %3)) AS %1")
            .arg(name)
            .arg(width)
            .arg(kLeadingBlanks);
    }
    return QStringLiteral("substr(%1, 1, %2) AS %1").arg(name).arg(width);
}

QStringList DataModel::printColumns() {
    QStringList columns;
    for (int i = 0; i < FieldCount; ++i)
        columns << printColumn(i);
    return columns;
}

QStringList DataModel::tabMailColumns() {
    QStringList names;
    for (const auto& f : kFields)
        names << QString::fromLatin1(f.name);
    names << QStringLiteral("SERV");
    return names;
}

QStringList DataModel::columnHeadings() {
    QStringList headings;
    for (int i = 0; i < FieldCount; ++i)
        headings << columnHeading(i);
    return headings;
}

std::optional<QString> DataModel::sortSpec(int index) {
    if (!inRange(index))
        return std::nullopt;
    return QString::fromLatin1(kFields[std::size_t(index)].sort);
}

} // namespace velomar::archive
