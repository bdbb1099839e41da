#include "exchange/FileImporter.h"
#include "../archive/ArchiveTestFiles.h"
#include "ExchangeTest.h"
#include "archive/DataModel.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using archive::DataModel;
using exchange::FileImporter;
using exchange::ImportMapping;
using exchange::ImportOptions;
using exchange::DuplicateChoice;

namespace {

struct Target {
    QTemporaryDir dir;
    QString path = dir.filePath("dest.mdb");
    archive::Database db;
    Target() {
        test::createTestArchive(path);
        db = archive::Database(path, archive::Database::Mode::ReadWrite);
    }
    // Every stored row, fields 1..16 joined by '|', in NR order; Null as "<null>".
    QStringList rows() {
        archive::Statement st(db, QStringLiteral("SELECT * FROM TabMAIL ORDER BY NR"));
        QStringList out;
        while (st.step()) {
            QStringList f;
            for (int c = 1; c <= 16; ++c)
                f << (st.isNull(c) ? QStringLiteral("<null>") : st.text(c));
            out << f.join(u'|');
        }
        return out;
    }
};

} // namespace

TEST(FileImporter, ItalianSpreadsheetWithDuplicatesGroupAndRefusedRows) {
    Target t;
    archive::AddressRecord existing;
    existing[DataModel::COGNOME] = QStringLiteral("Bianchi");
    existing[DataModel::INDIRIZZO] = QStringLiteral("Via Po 2");
    existing[DataModel::CAP] = QStringLiteral("00820");
    test::addTestAddress(t.db, existing);

    test::MemoryTable source(
        {"Cognome", "Nome", "Indirizzo", "CAP", "Città", "Nazione", "Compleanno"},
        {{"Rossi", "Mario", "Via Roma 1", "20100", "Milano", "Italia", "1 maggio"},
         {"BIANCHÌ", "Anna", "via po 2", "820", "Roma", "", ""}, // as the one there
         {"", "", "", "", "", "", "3 marzo"},                    // nothing mapped
         {"Müller", "Hans", "Hauptstr. 5", "10115", "Berlin", "Germany", ""},
         {"rossi", "Maria", "VIA ROMA 1", "20100", "Milano", "", ""}}); // as line 2
    ImportOptions options;
    options.duplicates = DuplicateChoice::Exact;
    options.unmappedToNote = true;
    options.group = FileImporter::checkedGroup(QStringLiteral("c1"));
    options.countries = exchange::CountryNames::fromFile(test::templatePath("StatiEsteri.mdb"));
    const auto summary =
        FileImporter::run(source, ImportMapping::fromHeader(source.columns()), options, t.db);
    EXPECT_FALSE(summary.oneToOne);
    EXPECT_EQ(summary.imported, 2);
    EXPECT_EQ(summary.duplicates, 2);
    ASSERT_EQ(summary.refused.size(), 1u);
    EXPECT_EQ(summary.refused[0].position, 4); // the header is line 1
    // Milano without its province is counted for the check.
    EXPECT_EQ(summary.suspects, 1);
    EXPECT_EQ(summary.lines().join(u'\n').toStdString(),
              "Importati 2 indirizzi.\nDoppioni saltati: 2.\n"
              "Indirizzi con CAP, comune e provincia che non concordano: 1 (Archivio, Verifica indirizzi).\n"
              "Righe scartate: 1.\n  riga 4: nessun valore nei campi associati");
    const QStringList rows = t.rows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1],
              "<null>|Rossi|Mario|<null>|Via Roma 1|20100|MILANO|<null>|<null>|<null>|<null>|"
              "<null>|<null>|C1|Compleanno: 1 maggio|<null>");
    EXPECT_EQ(rows[2], "<null>|Müller|Hans|<null>|Hauptstr. 5|10115|BERLIN|<null>|GERMANIA|<null>|"
                       "<null>|<null>|<null>|C1|<null>|<null>");
    EXPECT_EQ(FileImporter::checkedGroup("abc"), "");
}

TEST(FileImporter, OurOwnHeaderIsStoredAsItIs) {
    Target t;
    const QStringList header = DataModel::tabMailColumns().mid(0, 17);
    QStringList row{"77", "Dott.", "Rossi", "Mario", "Ruolo", "Via Roma 1", "820", "milano", "Roma", "I", "02",
                    "03", "333", "m@x.it", "abc", QString(200, u'n'), QStringLiteral("riga 1\r\n\"riga 2\", àè")};
    test::MemoryTable source(header, {row});
    const auto summary = FileImporter::run(source, ImportMapping::fromHeader(header), {}, t.db);
    EXPECT_TRUE(summary.oneToOne);
    EXPECT_EQ(summary.imported, 1);
    EXPECT_EQ(summary.cutValues, 0);
    row.removeFirst();
    EXPECT_EQ(t.rows(), QStringList{row.join(u'|')});
}

TEST(FileImporter, CancelLeavesTheTargetByteIdentical) {
    Target t;
    test::addTestAddress(t.db, archive::AddressRecord{});
    t.db.close();
    const QByteArray before = test::fileBytes(t.path);
    t.db = archive::Database(t.path, archive::Database::Mode::ReadWrite);

    std::vector<QStringList> rows;
    for (int i = 0; i < 5000; ++i)
        rows.push_back({QStringLiteral("Cognome%1").arg(i), QString(30, u'v')});
    test::MemoryTable source({"Cognome", "Indirizzo"}, rows);
    qint64 calls = 0;
    const auto summary =
        FileImporter::run(source, ImportMapping::fromHeader(source.columns()), {}, t.db,
                          [&](qint64 done) { return ++calls < 5 && done > 0; });
    EXPECT_TRUE(summary.cancelled);
    EXPECT_EQ(summary.imported, 0); // nothing of it was kept
    EXPECT_EQ(summary.lines(),
              QStringList{"Importazione annullata: l'archivio non è stato modificato."});
    EXPECT_EQ(test::countAddresses(t.db), 1);
    t.db.close();
    EXPECT_EQ(test::fileBytes(t.path), before);
}

TEST(FileImporter, ASourceThatFailsHalfwayLeavesNothingBehind) {
    // A reader that meets a broken row after two good ones.
    test::ScriptedTable source({"Cognome"}, {{"Rossi"}, {"Verdi"}, {"Bianchi"}},
                               test::unreadableAt(3, "Riga 4: virgolette non chiuse"));
    Target t;
    EXPECT_THROW(FileImporter::run(source, ImportMapping::fromHeader(source.columns()), {}, t.db),
                 exchange::ExchangeError);
    EXPECT_EQ(test::countAddresses(t.db), 0);
    // The connection is usable again: no transaction was left open.
    test::MemoryTable good({"Cognome"}, {{"Rossi"}});
    EXPECT_EQ(FileImporter::run(good, ImportMapping::fromHeader(good.columns()), {}, t.db).imported,
              1);
}

TEST(FileImporter, EveryShortenedValueOfEveryRowIsCounted) {
    Target t;
    test::MemoryTable source({"Cognome", "Città"}, {{QString(60, u'R'), "Roma"},
                                                    {QString(60, u'B'), QString(40, u'C')},
                                                    {"Verdi", "Como"}});
    const auto summary = FileImporter::run(source, ImportMapping::fromHeader(source.columns()), {}, t.db);
    EXPECT_EQ(summary.imported, 3);
    EXPECT_EQ(summary.cutValues, 3);
}

TEST(FileImporter, RowsLikeAnAddressAlreadyThereAreSkippedImportedOrListedAsChosen) {
    const struct {
        const char* name;
        DuplicateChoice choice;
        qint64 imported;
        qint64 duplicates;
        const char* lines;
    } cases[] = {
        {"no check", DuplicateChoice::NoCheck, 4, 0, "Importati 4 indirizzi."},
        {"exact", DuplicateChoice::Exact, 3, 1, "Importati 3 indirizzi.\nDoppioni saltati: 1."},
        {"skip", DuplicateChoice::Skip, 1, 3, "Importati 1 indirizzi.\nDoppioni saltati: 3."},
        {"import anyway", DuplicateChoice::ImportAnyway, 4, 3,
         "Importati 4 indirizzi.\nProbabili doppioni importati lo stesso: 3."},
        {"review", DuplicateChoice::Review, 4, 3,
         "Importati 4 indirizzi.\nProbabili doppioni importati lo stesso: 3.\n  riga 2: Nr. 2 come Nr. 1\n"
         "  riga 3: Nr. 3 come Nr. 1\n  riga 5: Nr. 5 come Nr. 4\n"
         "Da controllare con \"Cerca doppioni\" nel menu Archivio."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Target t;
        archive::AddressRecord existing;
        existing[DataModel::COGNOME] = QStringLiteral("Rossi");
        existing[DataModel::NOME1] = QStringLiteral("Mario");
        existing[DataModel::INDIRIZZO] = QStringLiteral("Via Giuseppe Verdi 3");
        existing[DataModel::CAP] = QStringLiteral("00100");
        test::addTestAddress(t.db, existing);
        test::MemoryTable source({"Cognome", "Nome", "Indirizzo", "CAP"},
                                 {{"ROSSI", "MARIO", "V. G. Verdi, 3", "00100"},   // probably the one there
                                  {"Rossi", "Mario", "Via Giuseppe Verdi 3", "00100"}, // exactly the one there
                                  {"Bruno", "Anna", "Via Po 1", "10100"},
                                  {"BRUNO", "ANNA", "Via Po, 1", "10100"}}); // like the row before
        ImportOptions options;
        options.duplicates = c.choice;
        const auto summary = FileImporter::run(source, ImportMapping::fromHeader(source.columns()), options, t.db);
        EXPECT_EQ(summary.imported, c.imported);
        EXPECT_EQ(summary.duplicates, c.duplicates);
        QStringList lines = summary.lines();
        lines.removeIf([](const QString& l) { return l.startsWith(QStringLiteral("Indirizzi con CAP")); });
        EXPECT_EQ(lines.join(u'\n'), QString::fromUtf8(c.lines));
        EXPECT_EQ(t.rows().size(), c.imported + 1);
    }
}
