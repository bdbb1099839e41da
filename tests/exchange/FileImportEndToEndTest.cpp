#include "ExchangeTest.h"
#include "exchange/ExchangeBatch.h"
#include "settings/Settings.h"

#include <QFile>

#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace velomar;

namespace {

const QString kData = QStringLiteral(VELOMAR_SOURCE_DIR "/tests/exchange/data/");

} // namespace

// The files users have, through the real readers, as the batch command reads them; then
// the archive written out as CSV and vCard and read back.
TEST(FileImportEndToEnd, UsualExportsImportAndOurOwnFormatsRoundTrip) {
    QTemporaryDir dir;
    // Foreign countries get their Italian names from the program's country table.
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELOMAR_BINARY_DIR "/data/StatiEsteri.mdb"),
                            dir.filePath(QStringLiteral("StatiEsteri.mdb"))));
    settings::Settings().setProgramDir(dir.path() + QLatin1Char('/'));
    const QString target = dir.filePath(QStringLiteral("Clienti.mdb"));
    test::createTestArchive(target);

    test::CommandRun r = test::runCommand("import-file", {kData + QStringLiteral("csv/italiano-1252.csv"), target});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(test::has(r.out, QStringLiteral("Windows-1252")));
    // Excel dropped the zeros of Roma's and Perugia's CAP; the accents came through.
    QStringList rows = test::storedRows(target, QStringLiteral("WHERE COGNOME = 'D''Agostino'"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows[0].contains(QStringLiteral("'Niccolò'|NULL|'Via dell''Università 3'|'00184'|'ROMA'|'RM'|NULL")))
        << qPrintable(rows[0]);
    EXPECT_EQ(test::storedRows(target, QStringLiteral("WHERE CAP = '06121'")).size(), 1);

    // A whole Google Contacts export: each number by its type, the home address, the rest in the note.
    const QString google = dir.filePath(QStringLiteral("Google.mdb"));
    test::createTestArchive(google);
    r = test::runCommand("import-file", {kData + QStringLiteral("csv/google-contacts-export.csv"), google,
                                                     QStringLiteral("--unmapped-to-note")});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    const QStringList contacts = test::storedRows(google);
    ASSERT_EQ(contacts.size(), 4);
    const QStringList expected[] = {
        {"'Bianchi'", "'Corso Como 10'|'20154'|'MILANO'|'MI'|NULL|'02 1111111'|'02 9999999'|'347 0000001'|NULL",
         "Phone 1 (Mobile): 347 0000002", "Address 1 (Other): Bergamo"},
        {"'Rossi'", "'Via Garibaldi 12'|'00184'|'ROMA'|'RM'|NULL|'06 5551234'|NULL|'+39 333 1234567'",
         "Phone 1 (Pager): 06 1111111", "Address 1 (Work): Via Torino 40, 20123, Milano, MI, Italia"},
        {"'Tipografia Forlivese'", "|'Corso della Repubblica 1'|'47121'|'FORLÌ'|'FC'|NULL|NULL|NULL|NULL|NULL",
         "Phone 1 (Google Voice): +39 0543 000000"},
        {"'Verdi'", "'Via Po 3'|'10124'|'TORINO'|'TO'|NULL|'011 1000000'|NULL|NULL|'luca@casa.example'",
         "Phone 2 (Home): 011 2000000", "E-mail 1 (Work): l.verdi@lavoro.example"},
    };
    for (qsizetype i = 0; i < contacts.size(); ++i)
        for (const QString& part : expected[i])
            EXPECT_TRUE(test::has(contacts[i], part));
    r = test::runCommand("import-file", {kData + QStringLiteral("csv/google-contacts-export.csv"), google,
                                                     QStringLiteral("--address"), QStringLiteral("1")});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(test::storedRows(google, QStringLiteral("WHERE INDIRIZZO = 'Via Torino 40'")).size(),
              1);
    EXPECT_EQ(test::runCommand("import-file", {kData + QStringLiteral("csv/google-contacts-export.csv"),
                                                           google, QStringLiteral("--address"), QStringLiteral("3")})
                  .status,
              2);

    for (const char* card : {"vcard/outlook-2.1.vcf", "vcard/contacts-3.0.vcf"}) {
        r = test::runCommand("import-file", {kData + QLatin1String(card), target});
        ASSERT_EQ(r.status, 0) << card << qPrintable(r.err);
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("vCard "))) << qPrintable(r.out);
        EXPECT_TRUE(test::has(r.out, QStringLiteral("Schede vCard lette: 2, saltate: 0.")));
    }

    const qsizetype before = test::storedRows(target).size();
    r = test::runCommand("import-file",
            {kData + QStringLiteral("access/nwind.mdb"), target, QStringLiteral("--table"), QStringLiteral("Customers")});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(test::has(r.out, QStringLiteral("Importati 91 indirizzi.")));
    EXPECT_EQ(test::storedRows(target).size(), before + 91);
    rows = test::storedRows(target, QStringLiteral("WHERE COGNOME = 'Alfreds Futterkiste'"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(test::has(rows[0], QStringLiteral("'Maria Anders'")));
    EXPECT_TRUE(test::has(rows[0], QStringLiteral("'12209'|'BERLIN'|NULL|'GERMANIA'")));

    // A database of many tables needs the table named; nothing is written meanwhile.
    r = test::runCommand("import-file", {kData + QStringLiteral("access/nwind.mdb"), target});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(test::has(r.err, QStringLiteral("Customers")));
    EXPECT_EQ(test::storedRows(target).size(), before + 91);

    // Our own CSV gives back every value as stored, Null and line breaks included.
    const QStringList all = test::storedRows(target);
    const QString csv = dir.filePath(QStringLiteral("Clienti.csv"));
    ASSERT_EQ(test::runCommand("export", {target, csv, QStringLiteral("--format"), QStringLiteral("csv")}).status, 0);
    const QString again = dir.filePath(QStringLiteral("Copia.mdb"));
    test::createTestArchive(again);
    r = test::runCommand("import-file", {csv, again});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(test::storedRows(again), all);

    // vCard keeps what a card can hold: names, address, place and country.
    const QString vcf = dir.filePath(QStringLiteral("Clienti.vcf"));
    ASSERT_EQ(test::runCommand("export", {target, vcf, QStringLiteral("--format"), QStringLiteral("vcard")}).status, 0);
    const QString cards = dir.filePath(QStringLiteral("Schede.mdb"));
    test::createTestArchive(cards);
    ASSERT_EQ(test::runCommand("import-file", {vcf, cards}).status, 0);
    EXPECT_EQ(test::storedRows(cards).size(), all.size());
    rows = test::storedRows(cards, QStringLiteral("WHERE COGNOME = 'Alfreds Futterkiste'"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(test::has(rows[0], QStringLiteral("'Maria Anders'")));
    EXPECT_TRUE(
        test::has(rows[0], QStringLiteral("'Obere Str. 57'|'12209'|'BERLIN'|NULL|'GERMANIA'")));
}
