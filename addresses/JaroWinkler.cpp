#include "addresses/JaroWinkler.h"

#include <algorithm>
#include <vector>

namespace velomar::addresses {

namespace {

// Names and streets are short: the flags live on the stack unless a text is long.
constexpr qsizetype kStackLength = 96;

} // namespace

double JaroWinkler::jaro(QStringView a, QStringView b) {
    if (a.isEmpty() && b.isEmpty())
        return 1.0;
    if (a.isEmpty() || b.isEmpty())
        return 0.0;
    if (a.size() > b.size())
        std::swap(a, b);
    const qsizetype window = std::max<qsizetype>(0, b.size() / 2 - 1);

    unsigned char stackA[kStackLength] = {};
    unsigned char stackB[kStackLength] = {};
    std::vector<unsigned char> heapA, heapB;
    unsigned char* usedA = stackA;
    unsigned char* usedB = stackB;
    if (b.size() > kStackLength) {
        heapA.assign(std::size_t(a.size()), 0);
        heapB.assign(std::size_t(b.size()), 0);
        usedA = heapA.data();
        usedB = heapB.data();
    }

    qsizetype matches = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const qsizetype from = std::max<qsizetype>(0, i - window);
        const qsizetype to = std::min(b.size() - 1, i + window);
        for (qsizetype j = from; j <= to; ++j) {
            if (!usedB[j] && a[i] == b[j]) {
                usedA[i] = usedB[j] = 1;
                ++matches;
                break;
            }
        }
    }
    if (matches == 0)
        return 0.0;

    qsizetype halfTranspositions = 0;
    qsizetype j = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!usedA[i])
            continue;
        while (!usedB[j])
            ++j;
        if (a[i] != b[j])
            ++halfTranspositions;
        ++j;
    }
    const double m = double(matches);
    return (m / double(a.size()) + m / double(b.size()) + (m - double(halfTranspositions / 2)) / m) / 3.0;
}

double JaroWinkler::similarity(QStringView a, QStringView b) {
    const double j = jaro(a, b);
    qsizetype prefix = 0;
    const qsizetype limit = std::min<qsizetype>({4, a.size(), b.size()});
    while (prefix < limit && a[prefix] == b[prefix])
        ++prefix;
    return j + double(prefix) * 0.1 * (1.0 - j);
}

} // namespace velomar::addresses
