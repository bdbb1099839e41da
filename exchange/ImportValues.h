#pragma once

#include "archive/AddressRecord.h"
#include "exchange/CountryNames.h"

#include <QString>

namespace velomar::exchange {

// Makes the values of an outside address fit our archive, as if typed into the entry
// form: one-line fields lose their line breaks, texts are cut to the size of their box,
// CAP, CITTA, PROV and NAZ are in capitals, an Italian CAP that a spreadsheet stored as a
// number gets its leading zeros back, the home country is left out.
class ImportValues {
public:
    static constexpr int Unlimited = -1;

    explicit ImportValues(CountryNames countries = {}) : m_countries(std::move(countries)) {}

    // Longest text a field holds (characters); Unlimited for APPUNTI.
    static int sizeOf(int field);

    // Adjusts fields 1..16 in place; returns how many values had to be cut (or dropped).
    int adjust(archive::AddressRecord& record) const;

    // The group code found in a text ("AB", "* myContacts ::: AB", "a" -> "AA"); "" for none.
    static QString groupCode(const QString& text);
    // "820" -> "00820" when the country is ours; anything else as it is.
    static QString italianCap(const QString& cap);
    // Surname, address and CAP without case, accents or extra blanks: equal keys are the
    // same address.
    static QString duplicateKey(const archive::AddressRecord& record);
    static QString duplicateKey(const QString& surname, const QString& address, const QString& cap);

private:
    CountryNames m_countries;
};

} // namespace velomar::exchange
