#pragma once

#include <QString>
#include <QStringList>

namespace velomar::addresses {

// An address reduced to what tells one recipient from another: capitals without
// accents or punctuation, titles left out, street kinds spelt out, the civic number apart.
struct NormalisedAddress {
    QString surname;    // "ROSSI"
    QString name;       // "MARIO"
    QString streetKind; // "VIA", "VIALE"; "" when the street starts otherwise
    QString street;     // the street's own words, initials left out: "GIUSEPPE VERDI"
    QString civic;      // "3", "3A"; "" without a number
    QString cap;        // digits only
    QString town;       // "SAN DONA DI PIAVE"
};

class AddressNormaliser {
public:
    // Capitals without accents; apostrophes joined ("D'ANGELO" -> "DANGELO"); dotted
    // abbreviations kept whole ("V.LE" -> "VLE"), other dots and punctuation split words.
    static QStringList words(const QString& text);
    // The words without titles ("SIG.", "DOTT.SSA"...), joined by one blank.
    static QString person(const QString& text);
    static bool isTitle(const QString& word);
    // "V.LE G. VERDI, 3/A" -> kind "VIALE", street "VERDI", civic "3A".
    static void street(const QString& text, NormalisedAddress& into);

    static NormalisedAddress of(const QString& surname, const QString& name, const QString& address,
                                const QString& cap, const QString& town);
};

} // namespace velomar::addresses
