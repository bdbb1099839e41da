#pragma once

#include "printing/StampaEtichette.h"

namespace velomar::printing {

// The recipient block as mail-sorting machines read it best: capitals, no comma or "N."
// before the civic number, no dots in abbreviations where the word stays readable, the
// province after the locality without brackets, at most 6 lines, none of them blank.
class PostalStyle {
public:
    static constexpr int MaxLines = 6;

    // One field in the postal style ("Via Roma, n. 12" gives "VIA ROMA 12").
    static QString text(const QString& value);

    // The label lines of the engine for an address in the postal style (line 0, the
    // blank line above the block, stays as the engine has it).
    static StampaEtichette::Lines lines(const archive::AddressRecord& record,
                                        const StampaEtichette::Measure& width, double roomMm,
                                        bool* shortened, const SheetFormat& sheet);
};

} // namespace velomar::printing
