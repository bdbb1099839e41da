#pragma once

#include <QString>

namespace velomar::addresses {

class ItalianPlaces;

// Whether the CAP, comune and province of an Italian address agree, and what to write
// instead when they do not. Advice only: nothing here changes an address.
class AddressCheck {
public:
    struct Place {
        QString cap;
        QString citta;
        QString prov;
        QString naz;
        bool operator==(const Place&) const = default;
    };
    enum class Outcome {
        Agrees,
        Foreign,  // NAZ names another country: not checked
        Locality, // a place that is no comune (a frazione) whose CAP and province agree
        Suspect,
    };
    struct Finding {
        Outcome outcome = Outcome::Agrees;
        QString reason;  // Italian, every fault found, joined by "; "
        Place proposal;  // the place as it should be; equal to the input when nothing to propose
        bool ambiguous = false; // some fault has more than one possible correction
        bool hasProposal() const { return changed; }
        bool changed = false;
        // Safe to apply without asking: a proposal and no doubt about it.
        bool unambiguous() const { return changed && !ambiguous; }
    };

    explicit AddressCheck(const ItalianPlaces& places);

    Finding check(const Place& place) const;
    static bool isItalian(const QString& naz);
    // "40017 S. GIOVANNI IN PERSICETO (BO)".
    static QString describe(const Place& place);

private:
    const ItalianPlaces& places_;
};

} // namespace velomar::addresses
