#include "AddressArchive.h"

#include "addresses/AddressTableModel.h"
#include "addresses/SearchFilter.h"
#include "archive/Recordset.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using addresses::AddressTableModel;
namespace F = addresses::SearchFilter;

namespace {

class AddressModel : public ::testing::Test {
protected:
    void open(const std::vector<test::AddressValues>& rows) {
        path = test::makeArchive(dir.filePath("a.mdb"), rows);
        db = archive::Database(path, archive::Database::Mode::ReadWrite);
        rs = archive::Recordset::open(db, "TabMAIL", archive::LockType::Optimistic);
    }
    QStringList column(int field) const {
        QStringList out;
        for (int r = 0; r < model.rowCount(); ++r)
            out << model.index(r, field).data().toString();
        return out;
    }
    QTemporaryDir dir;
    QString path;
    archive::Database db;
    archive::Recordset rs;
    AddressTableModel model;
};

} // namespace

TEST_F(AddressModel, ReadsTheRecordSetThroughFiltersAndSorts) {
    open(test::generatedAddresses(50));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.bind(&rs);
    EXPECT_EQ(model.rowCount(), 50);
    EXPECT_EQ(model.headerData(4, Qt::Horizontal).toString(), "RUOLO ISTITUZIONALE");
    EXPECT_EQ(model.index(0, 2).data().toString(), "Rossi0");
    EXPECT_EQ(model.index(0, 17).data().toString(), "0");

    // The current record survives a sort change.
    rs.setAbsolutePosition(7);
    const QString current = rs.text(2);
    model.applySort(2);
    EXPECT_EQ(rs.text(2), current);
    EXPECT_EQ(model.index(int(rs.absolutePosition()) - 1, 2).data().toString(), current);
    QStringList sorted = column(2);
    sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(column(2), sorted);
}

TEST_F(AddressModel, SearchesMatchWhatWasTypedLiterally) {
    open({{{"COGNOME", "D'Angelo"}, {"NOTE", "sconto 50% soci"}},
          {{"COGNOME", "Star*Bene"}, {"NOTE", "cliente [vip] #1"}},
          {{"COGNOME", "Stardust"}, {"NOTE", "nota \"doppia\""}},
          {{"COGNOME", "95 Società"}, {"CITTA", "9 Ville"}},
          {{"COGNOME", "Bianchi"}, {"NOTE", "riga uno\nriga due"}},
          {{"COGNOME", "5000"}},
          {{"COGNOME", "  "}}});
    model.bind(&rs);
    auto matches = [&](const QString& field, const QString& word) {
        const QString filter = F::wordSearch(field, word.trimmed().toUpper());
        if (!model.tryFilter(filter))
            return QStringList();
        const QStringList out = column(2);
        model.clearFilter();
        return out;
    };
    EXPECT_EQ(matches("COGNOME", "d'angelo"), QStringList{"D'Angelo"});
    EXPECT_EQ(matches("COGNOME", "r*b"), QStringList{"Star*Bene"}); // not Stardust
    EXPECT_EQ(matches("NOTE", "[vip]"), QStringList{"Star*Bene"});
    EXPECT_EQ(matches("NOTE", "#1"), QStringList{"Star*Bene"});
    EXPECT_EQ(matches("NOTE", "\"doppia\""), QStringList{"Stardust"});
    EXPECT_EQ(matches("NOTE", "due"), QStringList{"Bianchi"}); // substring on notes too
    EXPECT_EQ(matches("COGNOME", "?"), QStringList());
    EXPECT_EQ(matches("COGNOME", "società"), QStringList{"95 Società"});

    ASSERT_TRUE(model.tryFilter(F::digitInitial("COGNOME")));
    EXPECT_EQ(column(2), (QStringList{"95 Società", "5000"}));
    ASSERT_TRUE(model.tryFilter(F::initial("COGNOME", 'S')));
    EXPECT_EQ(column(2), (QStringList{"Star*Bene", "Stardust"}));
}
