#include "ExchangeTest.h"
#include "archive/ArchiveFile.h"
#include "archive/Statement.h"
#include "exchange/AccessConverter.h"
#include "exchange/AccessReader.h"
#include "support/BatchProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;

using archive::ArchiveFile;
using archive::ArchiveKind;
using exchange::AccessConverter;
using exchange::AccessReader;
using exchange::ExchangeError;

namespace {

const QStringList kMailColumns = archive::DataModel::tabMailColumns().mid(0, 17); // NR..APPUNTI

// Stands for the Access file: the converter only reads it through the table.
QByteArray writeFake(const QString& path) {
    const QByteArray bytes("\x00\x01\x00\x00Standard Jet DB\x00 e poi il resto", 40);
    test::writeFile(path, bytes);
    return bytes;
}

QStringList filesIn(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

AccessConverter::TableOpener tableOf(const QStringList& columns, const std::vector<QStringList>& rows) {
    return [=] { return std::make_unique<test::MemoryTable>(columns, rows); };
}

// Reads every row of a table of the converted archive, NR first.
std::vector<QStringList> rowsOf(const QString& path, ArchiveKind kind, const QString& sql) {
    archive::Database db = ArchiveFile::open(path, kind, ArchiveFile::Access::ReadOnly);
    archive::Statement st(db, sql);
    std::vector<QStringList> out;
    while (st.step()) {
        QStringList row;
        for (int c = 0; c < st.columnCount(); ++c)
            row << st.text(c);
        out.push_back(row);
    }
    return out;
}

struct Variant {
    const char* what;
    const char* source;
    std::function<QByteArray(QByteArray)> damage;
};

QByteArray flipped(QByteArray b, qsizetype at) {
    b[at] = char(b[at] ^ 0xFF);
    return b;
}

QByteArray zeroed(QByteArray b, qsizetype page, int pageSize) {
    b.replace(page * pageSize, pageSize, QByteArray(pageSize, '\0'));
    return b;
}

const Variant kVariants[] = {
    // libmdb once looped for ever here, its memory growing past 1.7 GB.
    {"cut at 148675", "DateTestDatabase.mdb", [](QByteArray b) { return b.left(148675); }},
    {"cut at 2 pages", "DateTestDatabase.mdb", [](QByteArray b) { return b.left(8192); }},
    {"cut in the first page", "nwind.mdb", [](QByteArray b) { return b.left(1000); }},
    {"cut at half", "nwind.mdb", [](QByteArray b) { return b.left(b.size() / 2); }},
    {"Jet version unknown", "DateTestDatabase.mdb", [](QByteArray b) { return flipped(b, 0x14); }},
    {"catalogue page zeroed", "DateTestDatabase.mdb",
     [](QByteArray b) { return zeroed(b, 2, 4096); }},
    {"catalogue page zeroed (Jet 3)", "nwind.mdb", [](QByteArray b) { return zeroed(b, 2, 2048); }},
    {"table page zeroed (ACE)", "ASampleDatabase.accdb",
     [](QByteArray b) { return zeroed(b, 5, 4096); }},
};

} // namespace

TEST(AccessConverterTest, AddressesCopiedBesideTheUntouchedOriginalAndRefusalsLeaveNoFile) {
    QTemporaryDir dir;
    const QString source = dir.filePath("Clienti.mdb");
    const QByteArray original = writeFake(source);

    QStringList row1{"7", "Sig.", "Dell'Acqua", "Niccolò", "", "Via \"Roma\", 1", "00100", "Roma", "RM",
                     "", "06 1234", "", "333 1", "a@b.it", "AB", "riga uno\r\nriga due", "  spazi  "};
    QStringList row2 = row1;
    row2[0] = "3";
    row2[2] = "Šćž — ünïcode ✓";
    QStringList row3(17);
    row3[0] = "12";
    row3[2] = "Vuoto";
    // Columns in another order and case than ours, plus SERV: still our archive.
    QStringList columns = kMailColumns;
    columns.move(2, 15);
    columns[5] = columns[5].toLower();
    columns << "SERV";
    auto reorder = [&](QStringList r, const QString& serv) {
        r.move(2, 15);
        r << serv;
        return r;
    };
    const std::vector<QStringList> rows{reorder(row1, "1"), reorder(row2, "0"), reorder(row3, "")};

    const QString first = AccessConverter::convert(source, tableOf(columns, rows));
    EXPECT_EQ(first, dir.filePath("Clienti (convertito).mdb"));
    EXPECT_EQ(test::fileBytes(source), original);
    // Distinct positive numbers are kept, so each row keeps its number.
    const auto stored =
        rowsOf(first, ArchiveKind::Addresses,
               "SELECT " + kMailColumns.join(", ") + ", SERV FROM TabMAIL ORDER BY NR");
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0], row2 + QStringList{"0"});
    EXPECT_EQ(stored[1], row1 + QStringList{"1"});
    EXPECT_EQ(stored[2], row3 + QStringList{"0"});
    EXPECT_TRUE(stored[2][1].isNull()); // an empty box is stored as Null

    // The name is taken: the next copy gets a number; repeated NR values are renumbered
    // in the source's order.
    QStringList dup1 = row1, dup2 = row2;
    dup2[0] = "7";
    const QString second = AccessConverter::convert(source, tableOf(kMailColumns, {dup2, dup1}));
    EXPECT_EQ(second, dir.filePath("Clienti (convertito 2).mdb"));
    const auto renumbered = rowsOf(second, ArchiveKind::Addresses, "SELECT NR, COGNOME FROM TabMAIL ORDER BY NR");
    ASSERT_EQ(renumbered.size(), 2u);
    EXPECT_EQ(renumbered[0], QStringList({"1", row2[2]}));
    EXPECT_EQ(renumbered[1], QStringList({"2", row1[2]}));
    EXPECT_EQ(AccessConverter::convertedPath(source), dir.filePath("Clienti (convertito 3).mdb"));

    // A refused or broken source leaves no file behind.
    const QStringList row(17, "1");

    const auto convert = [&](const AccessConverter::TableOpener& open) {
        return test::refusalOf([&] { AccessConverter::convert(source, open); }).text;
    };
    const QString broken = convert([&] {
        return std::make_unique<test::MemoryTable>(kMailColumns, std::vector{row, row},
                                                   test::unreadableAt(2, "pagina illeggibile"));
    });
    EXPECT_TRUE(broken.startsWith(QStringLiteral("Conversione del file «Clienti.mdb» non riuscita."))) << broken.toStdString();
    EXPECT_TRUE(test::has(broken, "pagina illeggibile"));

    const QString missing = convert(tableOf(kMailColumns.mid(0, 16), {row.mid(0, 16)}));
    EXPECT_TRUE(test::has(missing, "non ha il campo APPUNTI"));
    const QString extra = convert(tableOf(kMailColumns + QStringList{"FOTO"}, {row + QStringList{"x"}}));
    EXPECT_TRUE(test::has(extra, "non prevede: FOTO"));
    QStringList badNr = row;
    badNr[0] = "";
    QStringList badServ = row;
    badServ << "sì";
    const QString serv = convert(tableOf(kMailColumns + QStringList{"SERV"}, {badNr + QStringList{"0"}, badServ}));
    EXPECT_TRUE(test::has(serv, "campo SERV: sì"));

    // An Access file without our tables, a file that is no Access file at all.
    const QString nwind = dir.filePath("nwind.mdb");
    ASSERT_TRUE(QFile::copy(test::exchangeData("access/nwind.mdb"), nwind));
    const QByteArray nwindBytes = test::fileBytes(nwind);
    const QString text = dir.filePath("note.mdb");
    ASSERT_TRUE(test::writeFile(text, "solo testo"));
    EXPECT_TRUE(test::has(test::refusalOf([&] { AccessConverter::convert(nwind); }).text,
                          "non contiene la tabella TabMAIL"));
    EXPECT_TRUE(test::has(test::refusalOf([&] { AccessConverter::convertGroups(nwind); }).text,
                          "non contiene la tabella TabGRUPPI"));
    EXPECT_TRUE(test::has(test::refusalOf([&] { AccessConverter::convert(text); }).text,
                          "«note.mdb» non è un database in formato Access"));

    EXPECT_EQ(filesIn(dir), QStringList({"Clienti (convertito 2).mdb", "Clienti (convertito).mdb",
                                         "Clienti.mdb", "note.mdb", "nwind.mdb"}));
    EXPECT_EQ(test::fileBytes(source), original);
    EXPECT_EQ(test::fileBytes(nwind), nwindBytes);
}

TEST(AccessConverterTest, GroupsReplacedOnlyWithTheOriginalKept) {
    QTemporaryDir dir;
    const QString groups = dir.filePath("Gruppi.grp");
    const QByteArray original = writeFake(groups);
    const QStringList columns{"GRUPPO", "DESCRIZIONE", "NR"};

    // A failure leaves the original where it was and no backup.
    EXPECT_THROW(AccessConverter::convertGroups(
                     groups,
                     [&] {
                         return std::make_unique<test::MemoryTable>(
                             columns, std::vector<QStringList>{{"AB", "x", "1"}, {"CD", "y", "2"}},
                             test::unreadableAt(2, "pagina illeggibile"));
                     }),
                 ExchangeError);
    EXPECT_EQ(filesIn(dir), QStringList({"Gruppi.grp"}));
    EXPECT_EQ(test::fileBytes(groups), original);

    writeFake(dir.filePath("Gruppi (Access).grp")); // an earlier backup is never overwritten
    const QString backup = AccessConverter::convertGroups(
        groups, tableOf(columns, {{"AB", "Amici è", "4"}, {"CL", "", "9"}}));
    EXPECT_EQ(backup, dir.filePath("Gruppi (Access 2).grp"));
    EXPECT_EQ(test::fileBytes(backup), original);
    const auto stored = rowsOf(groups, ArchiveKind::Groups, "SELECT NR, GRUPPO, DESCRIZIONE FROM TabGRUPPI ORDER BY NR");
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0], QStringList({"4", "AB", "Amici è"}));
    EXPECT_EQ(stored[1], QStringList({"9", "CL", ""}));
    EXPECT_EQ(filesIn(dir), QStringList({"Gruppi (Access 2).grp", "Gruppi (Access).grp", "Gruppi.grp"}));
}

TEST(AccessReaderTest, Jet3Jet4AndAceFilesAndTheSignature) {
    AccessReader db(test::exchangeData("access/nwind.mdb"));
    EXPECT_EQ(db.format(), "Jet 3 (Access 97)");
    const QStringList tables = db.tables();
    EXPECT_TRUE(tables.contains("Customers"));
    EXPECT_TRUE(tables.contains(QStringLiteral("Umsätze"))); // 8-bit name read as Windows-1252
    for (const QString& t : tables)
        EXPECT_FALSE(t.startsWith("MSys")) << t.toStdString();

    auto customers = db.openTable("Customers");
    EXPECT_EQ(customers->columns(),
              (QStringList{"CustomerID", "CompanyName", "ContactName", "ContactTitle", "Address",
                           "City", "Region", "PostalCode", "Country", "Phone", "Fax"}));
    QList<qint64> lines;
    const auto rows = test::readRows(*customers, &lines);
    ASSERT_EQ(rows.size(), 91);
    EXPECT_EQ(lines.first(), 1);
    EXPECT_EQ(lines.last(), 91);
    // Text fields: the PostalCode keeps its leading zero.
    EXPECT_EQ(rows[1].mid(0, 8),
              (QStringList{"ANATR", "Ana Trujillo Emparedados y helados", "Ana Trujillo", "Owner",
                           QStringLiteral("Avda. de la Constitución 2222"),
                           QStringLiteral("México D.F."), "", "05021"}));

    // Numbers and dates as text; the picture (OLE) field empty; a second table read while
    // the first is open.
    QStringList values;
    auto employees = db.openTable("Employees");
    auto products = db.openTable("Products");
    ASSERT_TRUE(employees->next(values));
    const QStringList employeeColumns = employees->columns();
    EXPECT_EQ(values[employeeColumns.indexOf("LastName")], "Davolio");
    EXPECT_EQ(values[employeeColumns.indexOf("BirthDate")], "08/12/1948");
    EXPECT_EQ(values[employeeColumns.indexOf("Photo")], "");
    ASSERT_TRUE(products->next(values));
    EXPECT_EQ(values[products->columns().indexOf("UnitPrice")], "18");
    EXPECT_EQ(values[products->columns().indexOf("ProductName")], "Chai");

    EXPECT_THROW(db.openTable("TabMAIL"), ExchangeError);

    AccessReader jet4(test::exchangeData("access/DateTestDatabase.mdb"));
    EXPECT_EQ(jet4.format(), "Jet 4 (Access 2000-2003)");
    EXPECT_EQ(jet4.tables(), QStringList{"DateTest"});
    EXPECT_EQ(jet4.addressTable(), "DateTest"); // none of addresses: the first
    auto dates = jet4.openTable("DateTest");
    ASSERT_TRUE(dates->next(values));
    EXPECT_EQ(values[0], "1");
    EXPECT_EQ(values[4], "Hello");

    AccessReader ace(test::exchangeData("access/ASampleDatabase.accdb"));
    EXPECT_EQ(ace.format(), "ACE (Access 2007 o successivo)");
    ASSERT_TRUE(ace.tables().contains("Asset Items"));
    auto assets = ace.openTable("Asset Items");
    ASSERT_TRUE(assets->next(values));
    EXPECT_EQ(values[0], "30050");
    EXPECT_EQ(values[assets->columns().indexOf("Cost")], "1995.5");

    EXPECT_TRUE(AccessReader::isAccessFile(test::exchangeData("access/nwind.mdb")));
    EXPECT_TRUE(AccessReader::isAccessFile(test::exchangeData("access/ASampleDatabase.accdb")));
    EXPECT_FALSE(AccessReader::isAccessFile(test::exchangeData("access/README.md")));
    QTemporaryDir dir;
    const QString fake = dir.filePath("finto.mdb");
    ASSERT_TRUE(test::writeFile(fake, QByteArray(4096, 'x')));
    EXPECT_FALSE(AccessReader::isAccessFile(fake));
    EXPECT_FALSE(AccessReader::isAccessFile(dir.filePath("manca.mdb")));
    EXPECT_THROW(AccessReader{fake}, ExchangeError);
    EXPECT_EQ(test::refusalOf([&] { AccessReader{dir.filePath("manca.mdb")}; }).code,
              ExchangeError::ReadFailed);
}

// Damaged Access databases: libmdb loops, crashes or writes English notes on some of them.
// Each one must end, read or refused in Italian, within the child's limits.

TEST(DamagedAccess, ReadOrRefusedInItalianWithinTheLimits) {
    QTemporaryDir dir;
    AccessReader::setLimits({2000, 1000, qint64(512) << 20});
    const QString target =
        test::createTestArchive(dir.filePath(QStringLiteral("Destinazione.mdb")));
    const QByteArray targetBefore = test::fileBytes(target);
    for (const Variant& v : kVariants) {
        SCOPED_TRACE(v.what);
        const QString path = dir.filePath(QString::fromLatin1(v.what).replace(u' ', u'_') + QStringLiteral(".mdb"));
        ASSERT_TRUE(test::writeFile(path, v.damage(test::fileBytes(test::exchangeData(
                                              QStringLiteral("access/") + v.source)))));
        QElapsedTimer clock;
        clock.start();
        try {
            const AccessReader reader(path);
            for (const QString& table : reader.tables().mid(0, 3))
                test::readRows(*reader.openTable(table));
        } catch (const exchange::ExchangeError& e) {
            EXPECT_EQ(e.code(), exchange::ExchangeError::BadInput);
            EXPECT_TRUE(test::has(e.description(), QStringLiteral("file Access danneggiato")));
        }
        EXPECT_LT(clock.elapsed(), 4 * 3000);

        // As a user runs it: nothing of libmdb on the terminal, the archive untouched on a refusal.
        const test::BatchRun r = test::runBatch({QStringLiteral("import-file"), path, target, QStringLiteral("--table"),
                                                 QStringLiteral("DateTest")},
                                                30000);
        EXPECT_TRUE(r.exitCode == 0 || r.exitCode == 1) << r.exitCode << qPrintable(r.err);
        EXPECT_FALSE(test::looksEnglish(r.err)) << qPrintable(r.err);
        if (r.exitCode != 0)
            EXPECT_EQ(test::fileBytes(target), targetBefore);
    }
    AccessReader::setLimits({});
}
