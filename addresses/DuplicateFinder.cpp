#include "addresses/DuplicateFinder.h"

#include "addresses/JaroWinkler.h"
#include "archive/Database.h"
#include "archive/Statement.h"

#include <algorithm>
#include <numeric>

namespace velomar::addresses {

namespace {

bool isVowel(QChar c) {
    return c == u'A' || c == u'E' || c == u'I' || c == u'O' || c == u'U';
}

// MARIO and MARIA, FRANCESCO and FRANCESCA: two people, not a typo.
bool otherGender(const QString& a, const QString& b) {
    if (a.size() != b.size() || a.size() < 3 || a == b)
        return false;
    return QStringView(a).chopped(1) == QStringView(b).chopped(1) && isVowel(a.back()) && isVowel(b.back());
}

QString joined(const QString& first, const QString& second) {
    if (first.isEmpty())
        return second;
    if (second.isEmpty())
        return first;
    return first + u' ' + second;
}

bool wordsWithin(const QString& small, const QString& large) {
    const QStringList in = large.split(u' ');
    for (const QString& w : small.split(u' '))
        if (!in.contains(w))
            return false;
    return true;
}

// One text each (a company, a name typed into the surname field): the words they share
// count for nothing, so "ISTITUTO COMPRENSIVO G RUGGERI" and "... G GIULIANI" are told
// apart by RUGGERI and GIULIANI; the order of the words does not matter.
double differingWords(const QString& a, const QString& b) {
    QStringList left = a.split(u' ', Qt::SkipEmptyParts);
    QStringList right = b.split(u' ', Qt::SkipEmptyParts);
    for (qsizetype i = left.size() - 1; i >= 0; --i)
        if (right.removeOne(left[i]))
            left.removeAt(i);
    if (left.isEmpty() && right.isEmpty())
        return 1.0;
    if (left.isEmpty() || right.isEmpty()) // "ROSSI" and "ROSSI MARIO"
        return JaroWinkler::similarity(a, b);
    return JaroWinkler::similarity(left.join(u' '), right.join(u' '));
}

struct Groups {
    std::vector<int> parent;
    std::vector<double> weakest;
    explicit Groups(std::size_t n) : parent(n), weakest(n, 1.0) { std::iota(parent.begin(), parent.end(), 0); }
    int root(int i) {
        while (parent[std::size_t(i)] != i)
            i = parent[std::size_t(i)] = parent[std::size_t(parent[std::size_t(i)])];
        return i;
    }
    void join(int a, int b, double score) {
        const int ra = root(a), rb = root(b);
        if (ra == rb)
            return;
        const double w = std::min({weakest[std::size_t(ra)], weakest[std::size_t(rb)], score});
        parent[std::size_t(rb)] = ra;
        weakest[std::size_t(ra)] = w;
    }
};

} // namespace

QString DuplicateFinder::blockOf(const NormalisedAddress& a) {
    const QString where = a.cap.isEmpty() ? QStringLiteral("C:") + a.town : a.cap;
    return where + u'|' + a.civic;
}

double DuplicateFinder::nameScore(const NormalisedAddress& a, const NormalisedAddress& b, double floor) {
    // Surname and name each alike, in either order; a name typed into the surname field
    // alone is compared as one text.
    if (a.surname.isEmpty() || a.name.isEmpty() || b.surname.isEmpty() || b.name.isEmpty())
        return differingWords(joined(a.surname, a.name), joined(b.surname, b.name));
    // Most pairs of a block differ at their first word: the second is not compared then.
    const auto both = [floor](const QString& x1, const QString& y1, const QString& x2, const QString& y2) {
        const double first = JaroWinkler::similarity(x1, y1);
        return first < floor ? first : std::min(first, JaroWinkler::similarity(x2, y2));
    };
    double straight = both(a.surname, b.surname, a.name, b.name);
    double swapped = both(a.surname, b.name, a.name, b.surname);
    if (otherGender(a.name, b.name))
        straight = std::min(straight, 0.8);
    if (otherGender(a.name, b.surname))
        swapped = std::min(swapped, 0.8);
    return std::max(straight, swapped);
}

double DuplicateFinder::streetScore(const NormalisedAddress& a, const NormalisedAddress& b) {
    double s = 0;
    if (a.street == b.street)
        s = 1.0;
    else if (a.street.isEmpty() || b.street.isEmpty())
        s = 0;
    else if (wordsWithin(a.street, b.street) || wordsWithin(b.street, a.street))
        s = 0.95; // "VERDI" and "GIUSEPPE VERDI"
    else
        s = JaroWinkler::similarity(a.street, b.street);
    // Via Garibaldi and Piazza Garibaldi are two places.
    if (!a.streetKind.isEmpty() && !b.streetKind.isEmpty() && a.streetKind != b.streetKind)
        s = std::min(s, 0.85);
    return s;
}

double DuplicateFinder::score(const NormalisedAddress& a, const NormalisedAddress& b, double floor) {
    if (a.civic != b.civic)
        return 0;
    const double street = streetScore(a, b);
    if (street < floor || street == 0)
        return street;
    return std::min(street, nameScore(a, b, floor));
}

void DuplicateFinder::add(qint64 nr, const QString& surname, const QString& name, const QString& address,
                          const QString& cap, const QString& town) {
    Candidate c{nr, AddressNormaliser::of(surname, name, address, cap, town)};
    m_blocks[blockOf(c.key)].push_back(int(m_candidates.size()));
    m_candidates.push_back(std::move(c));
}

void DuplicateFinder::addArchive(archive::Database& db) {
    archive::Statement st(db, QStringLiteral("SELECT NR, COGNOME, NOME1, INDIRIZZO, CAP, CITTA FROM TabMAIL"));
    while (st.step())
        add(st.integer(0), st.text(1), st.text(2), st.text(3), st.text(4), st.text(5));
}

std::vector<DuplicateGroup> DuplicateFinder::groups(double minScore) const {
    Groups g(m_candidates.size());
    std::vector<bool> linked(m_candidates.size(), false);
    for (const std::vector<int>& block : m_blocks) {
        for (std::size_t i = 0; i < block.size(); ++i) {
            const Candidate& a = m_candidates[std::size_t(block[i])];
            for (std::size_t j = i + 1; j < block.size(); ++j) {
                const Candidate& b = m_candidates[std::size_t(block[j])];
                const double s = score(a.key, b.key, minScore);
                if (s < minScore)
                    continue;
                if (!m_apart.isEmpty() &&
                    m_apart.contains({std::min(a.nr, b.nr), std::max(a.nr, b.nr)}))
                    continue;
                g.join(block[i], block[j], s);
                linked[std::size_t(block[i])] = linked[std::size_t(block[j])] = true;
            }
        }
    }
    QHash<int, std::size_t> byRoot;
    std::vector<DuplicateGroup> out;
    for (std::size_t i = 0; i < m_candidates.size(); ++i) {
        if (!linked[i])
            continue;
        const int r = g.root(int(i));
        auto it = byRoot.find(r);
        if (it == byRoot.end()) {
            it = byRoot.insert(r, out.size());
            out.push_back({g.weakest[std::size_t(r)], {}});
        }
        out[*it].nrs.push_back(m_candidates[i].nr);
    }
    for (DuplicateGroup& group : out)
        std::sort(group.nrs.begin(), group.nrs.end());
    std::sort(out.begin(), out.end(), [](const DuplicateGroup& a, const DuplicateGroup& b) {
        return a.score != b.score ? a.score > b.score : a.nrs.front() < b.nrs.front();
    });
    return out;
}

std::optional<DuplicateFinder::Match> DuplicateFinder::bestMatch(const QString& surname, const QString& name,
                                                                 const QString& address, const QString& cap,
                                                                 const QString& town, double minScore) const {
    const NormalisedAddress key = AddressNormaliser::of(surname, name, address, cap, town);
    const auto block = m_blocks.constFind(blockOf(key));
    if (block == m_blocks.constEnd())
        return std::nullopt;
    std::optional<Match> best;
    for (const int i : *block) {
        const double s = score(key, m_candidates[std::size_t(i)].key, minScore);
        if (s >= minScore && (!best || s > best->score))
            best = Match{m_candidates[std::size_t(i)].nr, s};
    }
    return best;
}

} // namespace velomar::addresses
