#pragma once

#include "addresses/AddressNormaliser.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace velomar::archive {
class Database;
}

namespace velomar::addresses {

// Addresses that are probably the same recipient, most certain first.
struct DuplicateGroup {
    double score = 0; // the weakest link that joined the group
    std::vector<qint64> nrs; // ascending
};

// The matching of duplicates: addresses are compared only with those of the same CAP
// (the comune when the CAP is missing) and the same civic number, so an archive of
// 100,000 takes seconds. Two addresses score the lower of their name and street
// similarities (Jaro-Winkler on the normalised words).
class DuplicateFinder {
public:
    static constexpr double DefaultMinScore = 0.92;

    struct Candidate {
        qint64 nr = 0;
        NormalisedAddress key;
    };
    struct Match {
        qint64 nr = 0;
        double score = 0;
    };

    void add(qint64 nr, const QString& surname, const QString& name, const QString& address, const QString& cap,
             const QString& town);
    // Every address of TabMAIL.
    void addArchive(archive::Database& db);
    qsizetype size() const { return qsizetype(m_candidates.size()); }

    // Pairs the user said are not duplicates (NotDuplicates) are never joined.
    void setKeptApart(QSet<std::pair<qint64, qint64>> pairs) { m_apart = std::move(pairs); }

    std::vector<DuplicateGroup> groups(double minScore = DefaultMinScore) const;
    // The best address already added that matches an address not added, if any.
    std::optional<Match> bestMatch(const QString& surname, const QString& name, const QString& address,
                                   const QString& cap, const QString& town, double minScore = DefaultMinScore) const;

    // A score below floor may be returned lower than it is: the comparison stops there.
    static double score(const NormalisedAddress& a, const NormalisedAddress& b, double floor = 0);
    static double nameScore(const NormalisedAddress& a, const NormalisedAddress& b, double floor = 0);
    static double streetScore(const NormalisedAddress& a, const NormalisedAddress& b);
    static QString blockOf(const NormalisedAddress& a);

private:
    std::vector<Candidate> m_candidates;
    QHash<QString, std::vector<int>> m_blocks;
    QSet<std::pair<qint64, qint64>> m_apart;
};

} // namespace velomar::addresses
