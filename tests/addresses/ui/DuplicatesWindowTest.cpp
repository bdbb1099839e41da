#include "GridFixture.h"

#include "addresses/ui/frmDOPPIONI.h"
#include "archive/DataModel.h"

#include <QLabel>
#include <QTableWidget>

using namespace velomar;
using archive::DataModel;
using common::MsgResult;

namespace {

class DuplicatesWindow : public test::GridFixture {
protected:
    void SetUp() override {
        path = test::makeArchive(dir.filePath(QStringLiteral("Indirizzi.mdb")), {});
        archive::Database(path, archive::Database::Mode::ReadWrite)
            .exec("INSERT INTO TabMAIL (COGNOME, NOME1, INDIRIZZO, CAP, NUM_TEL, NOTE) VALUES "
                  "('Rossi', 'Mario', 'Via Roma 3', '00100', NULL, 'Socio'),"
                  "('ROSSI', 'MARIO', 'V. Roma 3', '00100', '06 1234', NULL),"
                  "('Rossi', 'Mario', 'Via Roma, 3', '00100', '06 99', 'Auguri'),"
                  "('Bruno', 'Anna', 'Via Po 1', '10100', NULL, NULL),"
                  "('BRUNO', 'ANNA', 'Via Po 1', '10100', NULL, NULL),"
                  "('Verdi', 'Luca', 'Via Po 1', '10100', NULL, NULL)");
        openGrid({});
    }
    std::unique_ptr<addresses::frmDOPPIONI> open() {
        return std::make_unique<addresses::frmDOPPIONI>(dialogs, session.mainDb, [this] {
            grid->reloadArchive();
            ++changes;
        });
    }
    int changes = 0;
};

} // namespace

TEST_F(DuplicatesWindow, MergeAfterConfirmationAndNotDuplicatesAreRemembered) {
    auto w = open();
    ASSERT_EQ(w->groupCount(), 2);
    auto* table = w->findChild<QTableWidget*>(QStringLiteral("GRIDdoppi"));
    ASSERT_EQ(table->columnCount(), 4); // three addresses and the one to keep
    const auto rowOf = [](int field) { return field - DataModel::TITOLO; };
    EXPECT_NE(table->item(rowOf(DataModel::COGNOME), 0)->background(), QBrush());
    EXPECT_EQ(table->item(rowOf(DataModel::CAP), 0)->background(), QBrush());
    EXPECT_EQ(w->keptValue(DataModel::NUM_TEL), "06 1234"); // the longer
    EXPECT_EQ(w->keptValue(DataModel::INDIRIZZO), "Via Roma, 3");
    EXPECT_EQ(w->keptValue(DataModel::COGNOME), "Rossi"); // as long: the newer
    EXPECT_EQ(w->keptValue(DataModel::NOTE), "Socio; Auguri");
    w->chooseValue(DataModel::NUM_TEL, 2);
    EXPECT_EQ(w->keptValue(DataModel::NUM_TEL), "06 99");
    w->chooseKept(1);

    dialogs.answerMessage(MsgResult::No);
    w->cmdUnisci_Click();
    EXPECT_EQ(dialogs.lastMessage(),
              "Tenere l'indirizzo Nr. 2 con i valori scelti e cancellare gli indirizzi Nr. 1, 3 ?");
    EXPECT_EQ(dialogs.shown().back().defaultButton, MsgResult::No);
    EXPECT_EQ(rs().recordCount(), 6);
    EXPECT_EQ(changes, 0);

    dialogs.answerMessage(MsgResult::Yes);
    w->cmdUnisci_Click();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(rs().recordCount(), 4);
    EXPECT_EQ(test::storedColumn(path, "NR || ': ' || NUM_TEL || ', ' || NOTE").first(),
              "2: 06 99, Socio; Auguri");

    ASSERT_EQ(w->groupCount(), 1);
    w->cmdNonDoppioni_Click();
    EXPECT_EQ(w->groupCount(), 0);
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("lblTrovati"))->text(),
              "Nessun doppione trovato.");
    EXPECT_EQ(open()->groupCount(), 0);
    EXPECT_EQ(rs().recordCount(), 4);
}
