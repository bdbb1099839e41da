#include "../exchange/ArchiveFixture.h"
#include "archive/DataModel.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "printing/ListPrinterRange.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using printing::ListPrinterRange;

namespace {

QStringList surnames(archive::AddressSource& source) {
    QStringList out;
    archive::AddressRecord r;
    while (source.next(r))
        out << r[2] + "/" + r[0];
    return out;
}

} // namespace

TEST(ListPrinterRange, WholeArchiveBySurnameAndGridRowsInGridOrder) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mdb");
    test::createTestArchive(path);
    archive::Database db(path, archive::Database::Mode::ReadWrite);
    for (const char* name : {"Verdi", "rossi", "Àlberti", "Bianchi", "Rossi"}) {
        archive::AddressRecord r;
        r[2] = QString::fromUtf8(name);
        r[3] = QStringLiteral("N");
        test::addTestAddress(db, r);
    }
    auto whole = ListPrinterRange::wholeArchive(db, ListPrinterRange::Values::AsStored);
    EXPECT_EQ(whole->count(), 5);
    const QStringList all = surnames(*whole);
    EXPECT_EQ(all.first(), QStringLiteral("Àlberti/3"));
    EXPECT_EQ(all.last(), "Verdi/1");

    // The grid's record set, sorted by NR descending and filtered: rows as shown,
    // the selection clipped to the rows there are, the position left alone.
    archive::Recordset grid = archive::Recordset::open(db, "TabMAIL", archive::LockType::Optimistic);
    grid.setSort("NR DESC");
    grid.setFilter("COGNOME <> 'Verdi'");
    grid.setAbsolutePosition(2);
    auto shown = ListPrinterRange::gridRows(grid, 1, grid.recordCount());
    EXPECT_EQ(surnames(*shown), QStringList({"Rossi/5", "Bianchi/4", QStringLiteral("Àlberti/3"), "rossi/2"}));
    auto selection = ListPrinterRange::gridRows(grid, 3, 9);
    EXPECT_EQ(selection->count(), 2);
    EXPECT_EQ(surnames(*selection), QStringList({QStringLiteral("Àlberti/3"), "rossi/2"}));
    EXPECT_EQ(ListPrinterRange::gridRows(grid, 1, 0)->count(), 0);
    EXPECT_EQ(grid.absolutePosition(), 2);
}

TEST(ListPrinterRange, WholeArchiveWalkMatchesTheRecordSetSortAndFields) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.mdb");
    archive::SampleArchive::write(path, 3000, 11); // accents, apostrophes, Nulls, repeats
    archive::Database db(path, archive::Database::Mode::ReadOnly);
    archive::Recordset rs = archive::Recordset::open(db, "TabMAIL", archive::LockType::ReadOnly);
    rs.setSort("COGNOME,NOME1");
    // The printable walk reads each field only as far as it can be printed.
    for (auto values : {ListPrinterRange::Values::AsStored, ListPrinterRange::Values::Printable}) {
        auto walk = ListPrinterRange::wholeArchive(db, values);
        auto grid = ListPrinterRange::gridRows(rs, 1, rs.recordCount());
        ASSERT_EQ(walk->count(), 3000);
        archive::AddressRecord a, b;
        int rows = 0;
        while (walk->next(a)) {
            ASSERT_TRUE(grid->next(b));
            if (values == ListPrinterRange::Values::Printable)
                for (int f = 1; f < archive::DataModel::FieldCount; ++f)
                    b[f] = b[f].left(archive::DataModel::printWidth(f));
            ASSERT_EQ(a.fields, b.fields) << "row " << rows;
            ++rows;
        }
        EXPECT_EQ(rows, 3000);
    }
}
