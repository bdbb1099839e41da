#pragma once

#include <QStringView>

namespace velomar::addresses {

// Jaro-Winkler similarity of two texts, 0 (nothing in common) to 1 (equal): transposed
// and missed letters cost little, a shared start counts extra. Texts are compared as
// UTF-16 code units; callers normalise them first (AddressNormaliser).
class JaroWinkler {
public:
    static double similarity(QStringView a, QStringView b);
    // The Jaro part alone, without the bonus for a shared start.
    static double jaro(QStringView a, QStringView b);
};

} // namespace velomar::addresses
