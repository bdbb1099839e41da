#include "AddressArchive.h"

#include "addresses/AddressNormaliser.h"
#include "addresses/DuplicateFinder.h"
#include "addresses/DuplicateMerge.h"
#include "addresses/JaroWinkler.h"
#include "addresses/NotDuplicates.h"
#include "archive/DataModel.h"
#include "archive/Statement.h"
#include "support/CommandRun.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>
#include <utility>

using namespace velomar::addresses;
using velomar::archive::DataModel;

namespace {

std::vector<DuplicateGroup> groupsOf(velomar::archive::Database& db) {
    DuplicateFinder finder;
    finder.addArchive(db);
    finder.setKeptApart(NotDuplicates::read(db));
    return finder.groups();
}

QString withoutAccents(const QString& text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
        else
            out += u'\''; // "Nicolò" typed as "Nicolo'"
    return out;
}

QString abbreviated(QString street) {
    static const std::pair<const char*, const char*> kinds[] = {
        {"Viale ", "V.le "},   {"Via ", "V. "},          {"Piazzale ", "P.le "},
        {"Piazza ", "P.zza "}, {"Corso ", "C.so "},      {"Largo ", "L.go "},
        {"Vicolo ", "V.lo "},  {"Strada ", "Str. "},     {"Contrada ", "C.da "},
        {"Borgo ", "B.go "},   {"Lungomare ", "L.mare "}};
    for (const auto& [full, shortForm] : kinds)
        if (street.startsWith(QLatin1String(full))) {
            street = QLatin1String(shortForm) + street.mid(qsizetype(strlen(full)));
            break;
        }
    // "Giuseppe Verdi" -> "G. Verdi"
    static const QRegularExpression firstName(QStringLiteral(R"(^(\S+ )([A-Z])[a-z]+ ([A-Z]))"));
    return street.replace(firstName, QStringLiteral(R"(\1\2. \3)")).remove(u',');
}

} // namespace

TEST(DuplicateFinder, JaroWinklerKnownValues) {
    for (const char* c : {"MARTHA|MARHTA|0.961", "DWAYNE|DUANE|0.840", "DIXON|DICKSONX|0.813",
                          "ROSSI|ROSSI|1", "ABC|XYZ|0", "||1", "A||0", "CRATE|TRACE|0.733"}) {
        const QStringList f = QString::fromLatin1(c).split(u'|');
        EXPECT_NEAR(JaroWinkler::similarity(f[0], f[1]), f[2].toDouble(), 0.001) << c;
        EXPECT_NEAR(JaroWinkler::similarity(f[1], f[0]), f[2].toDouble(), 0.001) << c;
    }
    // Long texts take the flags off the stack.
    const QString longText = QString(200, u'A') + u'B';
    EXPECT_NEAR(JaroWinkler::similarity(longText, QString(200, u'A') + u'C'), 0.998, 0.001);
}

TEST(DuplicateFinder, NormalisedStreetsAndPeople) {
    // address | kind | street | civic
    for (const char* c :
         {"Via Giuseppe Verdi, 3|VIA|GIUSEPPE VERDI|3", "V. G.Verdi 3|VIA|VERDI|3",
          "V.LE dell'Unità d'Italia 12/b|VIALE|DELLUNITA DITALIA|12B",
          "P.zza del Popolo n. 7 A|PIAZZA|DEL POPOLO|7A",
          "C.so IV Novembre 40|CORSO|IV NOVEMBRE|40", "12 Rue de Rivoli||RUE DE RIVOLI|12",
          "Via XX Settembre snc|VIA|XX SETTEMBRE|", "Località Cà Rossa|LOCALITA|CA ROSSA|"}) {
        const QStringList f = QString::fromUtf8(c).split(u'|');
        NormalisedAddress n;
        AddressNormaliser::street(f[0], n);
        EXPECT_EQ(QStringList({f[0], n.streetKind, n.street, n.civic}), f);
    }
    for (const char* c :
         {"Dott.ssa  Nicolò|NICOLO", "SIG. D'Angelo|DANGELO", "Gent.mo Sig. De Luca|DE LUCA",
          "Tipografia Rossi S.r.l.|TIPOGRAFIA ROSSI SRL", "Don Mario|MARIO"}) {
        const QStringList f = QString::fromUtf8(c).split(u'|');
        EXPECT_EQ(AddressNormaliser::person(f[0]), f[1]) << c;
    }
}

TEST(DuplicateFinder, PairsThatAreAndAreNotTheSameRecipient) {
    // surname|name|address|CAP of two addresses; one recipient or two
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"ROSSI|MARIO|VIA ROMA 3|00100", "Rossi|Mario|Via Roma, 3|00100", true},
        {"Rossi|Mario|Via Giuseppe Verdi, 3|00100", "Rossi|Mario|V. G. Verdi 3|00100", true},
        {"Rossi|Mario|Corso Italia 9|20100", "Mario|Rossi|C.so Italia 9|20100", true},
        {"Bianchi|Luca|Viale Europa 15|40100", "Bainchi|Luca|Viale Europa 15|40100", true},
        {"Nicolò|Cantù|Via Cà Rossa 1|30100", "NICOLO'|CANTU'|Via Ca' Rossa 1|30100", true},
        {"Dott. Greco|Anna|Via Trento 2|10100", "Greco|Anna|Via Trento 2|10100", true},
        {"Rossi|Mario|Via Roma 3|00100", "Rossi|Mario|Via Roma 5|00100", false},
        {"Rossi|Mario|Via Roma 3|00100", "Rossi|Maria|Via Roma 3|00100", false},
        {"Rossi|Mario|Via Roma 3|00100", "Rossi|Giulia|Via Roma 3|00100", false},
        {"Ferrari|Sara|Rua Augusta 100|1100", "Ferrari|Francesca|Rua Augusta 100|1100", false},
        {"Rossi|Mario|Via Roma 3|00100", "Rossi|Marco|Via Roma 3|00100", false},
        {"Rossi Mario||Via Roma 3|00100", "Mario|Rossi|Via Roma 3|00100", true},
        {"Tipografia Rossi S.r.l.||Via Po 2|10100", "Tipografia Rosi Srl||Via Po 2|10100", true},
        {"Istituto Comprensivo \"G. Ruggeri\"||Via Po 2|10100",
         "Istituto Comprensivo \"G. Giuliani\"||Via Po 2|10100", false},
        {"Rossi|Mario|Via Roma 3|00100", "Bruno|Marco|Via Roma 3|00100", false},
        {"Rossi|Mario|Via Garibaldi 3|00100", "Rossi|Mario|Piazza Garibaldi 3|00100", false},
        {"Rossi|Mario|Via Trento 3|00100", "Rossi|Mario|Via Trieste 3|00100", false}};
    const auto key = [](const char* text) {
        const QStringList f = QString::fromUtf8(text).split(u'|');
        return AddressNormaliser::of(f[0], f[1], f[2], f[3], {});
    };
    for (const auto& [a, b, same] : cases) {
        const double s = DuplicateFinder::score(key(a), key(b));
        EXPECT_EQ(s >= DuplicateFinder::DefaultMinScore, same) << a << " / " << b << ' ' << s;
        EXPECT_DOUBLE_EQ(s, DuplicateFinder::score(key(b), key(a))) << a << " / " << b;
    }
    // Without a CAP the comune blocks; a CAP and no CAP are not compared.
    DuplicateFinder finder;
    finder.add(1, "Rossi", "Mario", "Via Roma 3", "", "Forlì");
    finder.add(2, "ROSSI", "MARIO", "Via Roma 3", "", "FORLI");
    finder.add(3, "Rossi", "Mario", "Via Roma 3", "47121", "Forlì");
    const auto groups = finder.groups();
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].nrs, (std::vector<qint64>{1, 2}));
    EXPECT_EQ(finder.bestMatch("Rossi", "Mario", "V. Roma 3", "47121", "")->nr, 3);
}

// The measurement of the matching: 50 duplicates planted in 1,000 distinct addresses.
TEST(DuplicateFinder, PlantedDuplicatesAreFoundAndDistinctAddressesAreNot) {
    QTemporaryDir dir;
    auto db = velomar::test::openSample(dir, 1000, 7);
    // The sample may draw the same office twice at one foreign address: a true duplicate.
    db.exec(QStringLiteral("DELETE FROM TabMAIL WHERE NR NOT IN (SELECT MIN(NR) FROM TabMAIL "
                           "GROUP BY COGNOME, NOME1, INDIRIZZO, CAP)"));
    const std::vector<DuplicateGroup> before = groupsOf(db);
    EXPECT_EQ(before.size(), 0u) << "groups among distinct addresses";

    velomar::archive::Statement pick(
        db,
        QStringLiteral(
            "SELECT NR FROM TabMAIL WHERE NAZ IS NULL AND NOME1 IS NOT NULL ORDER BY NR LIMIT 50"));
    std::vector<qint64> originals;
    while (pick.step())
        originals.push_back(pick.integer(0));
    ASSERT_EQ(originals.size(), 50u);
    const std::vector<velomar::archive::AddressRecord> records =
        DuplicateMerge::load(db, originals);
    using D = DataModel;
    using Record = velomar::archive::AddressRecord;
    const std::function<void(Record&)> variations[] = {
        [](Record& r) { // case
            for (int f : {D::COGNOME, D::NOME1, D::INDIRIZZO})
                r[f] = r[f].toUpper();
        },
        [](Record& r) { // accents
            for (int f : {D::COGNOME, D::NOME1, D::INDIRIZZO, D::CITTA})
                r[f] = withoutAccents(r[f]).toLower();
        },
        [](Record& r) { r[D::INDIRIZZO] = abbreviated(r[D::INDIRIZZO]); },
        [](Record& r) { std::swap(r[D::COGNOME], r[D::NOME1]); },
        [](Record& r) { // one typo: two letters of the surname swapped
            QString& s = r[D::COGNOME];
            std::swap(s[s.size() / 2 - 1], s[s.size() / 2]);
        },
        [](Record& r) { r[D::COGNOME] = std::exchange(r[D::TITOLO], {}) + u' ' + r[D::COGNOME]; },
        [](Record& r) { r[D::NUM_TEL] = QStringLiteral("0444 123456"); }};
    std::vector<std::pair<qint64, qint64>> planted;
    for (std::size_t i = 0; i < records.size(); ++i) {
        Record r = records[i];
        variations[i % 7](r);
        velomar::test::AddressValues copy;
        for (int f : {D::TITOLO, D::COGNOME, D::NOME1, D::INDIRIZZO, D::CAP, D::CITTA, D::NUM_TEL})
            copy[DataModel::fieldName(f)] = r[f];
        velomar::test::insertAddress(db, copy);
        planted.push_back({r[D::NR].toLongLong(), db.lastInsertRowId()});
    }
    const std::vector<DuplicateGroup> after = groupsOf(db);
    int found = 0;
    for (const auto& [original, copy] : planted)
        for (const DuplicateGroup& g : after)
            if (std::count(g.nrs.begin(), g.nrs.end(), original) &&
                std::count(g.nrs.begin(), g.nrs.end(), copy))
                ++found;
    EXPECT_GE(found, 48);
    EXPECT_EQ(after.size(), std::size_t(found)) << "a group that was not planted";
    std::cout << "[ misura ] doppioni trovati: " << found
              << " su 50; gruppi fra 1000 indirizzi distinti: " << before.size() << "\n";
}

TEST(DuplicateFinder, BatchCommandPrintsOneLinePerAddressOfEachGroup) {
    QTemporaryDir dir;
    {
        auto db = velomar::test::openSample(dir, 0, 1);
        db.exec(
            QStringLiteral("INSERT INTO TabMAIL (NR, COGNOME, NOME1, INDIRIZZO, CAP, CITTA) VALUES "
                           "(7, 'Rossi', 'Mario', 'Via Roma 3', '00100', 'ROMA'),"
                           "(9, 'ROSSI', 'MARIOO', 'V. Roma, 3', '00100', NULL),"
                           "(12, 'Bruno', 'Anna', 'Via Po 1', '10100', 'TORINO')"));
    }
    const QString path = dir.filePath(QStringLiteral("sample.mdb"));
    const auto duplicates = [](const QStringList& args) {
        return velomar::test::runCommand(QStringLiteral("duplicates"), args);
    };
    const auto run = duplicates({path});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "1\t0.97\t7\tRossi Mario\tVia Roma 3\t00100 ROMA\n"
                       "1\t0.97\t9\tROSSI MARIOO\tV. Roma, 3\t00100\n");
    EXPECT_EQ(duplicates({path, "--min-score", "0,99"}).out, "");
    EXPECT_EQ(duplicates({path, "--min-score", "x"}).status, 2);
    EXPECT_EQ(duplicates({dir.filePath("nessuno.mdb")}).status, 1);
}
