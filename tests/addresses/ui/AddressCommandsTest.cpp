#include "GridFixture.h"

#include "addresses/ui/frmSchedario.h"

#include <QCheckBox>

using namespace velomar;
using addresses::frmEDIT;
using addresses::frmINPUT;
using common::MsgResult;

using Commands = test::GridFixture;

TEST_F(Commands, AddWritesEachConfirmedAddressAndRepeatsChosenFields) {
    openGrid(test::generatedAddresses(10));
    grid->optLett_Click('B');
    ASSERT_EQ(state.displayedCount, 2);
    withForm(&frmEDIT::cmdAggiungi_Click, [&](frmINPUT& form) {
        QApplication::setActiveWindow(&form);
        EXPECT_EQ(form.windowTitle(), "Nuovo Indirizzo");
        EXPECT_TRUE(form.box(0)->isHidden());
        form.cmdRip_Click();
        EXPECT_TRUE(form.repeatPanelShown());
        form.cmdNESSUNO_Click();
        for (int f : {6, 7, 8})
            form.repeatBox(f)->setChecked(true);
        typeInto(form, 2, "Zanetti");
        typeInto(form, 6, "20100");
        typeInto(form, 7, "milano");
        typeInto(form, 8, "mi");
        typeInto(form, 14, "a1-b");
        form.box(1)->setFocus();
        EXPECT_EQ(form.fieldText(14), "A1");
        form.cmdConferma_Click();
        EXPECT_EQ(grid->statusText(6), "Indirizzo n. 11 salvato: Zanetti");
        EXPECT_EQ(texts(form, {2, 7, 8, 14}), QStringList({"", "MILANO", "MI", ""}));
        typeInto(form, 2, "Zucchi");
        form.cmdConferma_Click();
        // A first name typed under a blank surname is not thrown away silently.
        typeInto(form, 3, "Lucia");
        dialogs.answerMessage(MsgResult::No);
        form.cmdConferma_Click();
        EXPECT_EQ(dialogs.shown().back().buttons, common::MsgButtons::YesNo);
        EXPECT_TRUE(dialogs.lastMessage().startsWith("Il Cognome è vuoto"));
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), form.box(2));
        EXPECT_EQ(form.fieldText(3), "Lucia");
        typeInto(form, 2, "Neri");
        form.cmdConferma_Click();
        // Only the repeated fields are left: a blank surname ends the run without asking.
        dialogs.clear();
        form.cmdConferma_Click();
        EXPECT_TRUE(dialogs.messages().empty());
        EXPECT_FALSE(form.isVisible());
    });
    EXPECT_EQ(state.archiveCount, 13);
    EXPECT_EQ(state.displayedCount, 13);
    EXPECT_EQ(grid->statusText(4), ""); // adding shows the whole list
    EXPECT_EQ(test::storedColumn(path, "COGNOME").mid(10),
              (QStringList{"Zanetti", "Zucchi", "Neri"}));
    EXPECT_EQ(test::storedColumn(path, "CITTA").mid(10),
              (QStringList{"MILANO", "MILANO", "MILANO"}));
    EXPECT_EQ(stored("GR", 11), "A1");
    EXPECT_EQ(stored("NOME1", 13), "Lucia");
    // The repeat choices are kept for the next time.
    EXPECT_EQ(settings.repeatInput(7), 1);
    EXPECT_EQ(settings.repeatInput(2), 0);
    EXPECT_EQ(rs().text(2), "Neri"); // the grid stands on the last address written
    // Yes drops the typing.
    withForm(&frmEDIT::cmdAggiungi_Click, [&](frmINPUT& form) {
        typeInto(form, 5, "Via Po 1");
        dialogs.answerMessage(MsgResult::Yes);
        form.cmdConferma_Click();
        EXPECT_FALSE(form.isVisible());
    });
    EXPECT_EQ(test::countIn(path), 13);
}

TEST_F(Commands, ModifyChangesOnlyWhatTheUserTouchedAndCopesWithLeavingTheFilter) {
    auto rows = test::generatedAddresses(20);
    for (auto& row : rows) {
        row["GR"] = "A";
        row["CITTA"] = "milano";
    }
    openGrid(rows);
    sortBy(0); // by number: row n is NR n
    // Of a selection, the top row is opened.
    selectRows(5, 5);
    QApplication::setActiveWindow(grid);
    view()->setFocus();
    QTest::keyClick(view(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(view(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid->selectionCount(), 3);
    EXPECT_EQ(grid->statusText(3), "5/20");
    withForm(&frmEDIT::cmdModifica_Click, [](frmINPUT& form) {
        EXPECT_EQ(form.windowTitle(), "Modifica Indirizzo");
        EXPECT_EQ(form.fieldText(0), "5");
        form.box(14)->setFocus(); // passing through GR does not settle it
        form.box(3)->setFocus();
        form.setFieldText(3, "Giovanna");
        form.cmdConferma_Click();
    });
    // An untouched empty field stays Null.
    EXPECT_EQ(stored("NOME1 || ' ' || GR || ' ' || CITTA || ' ' || (NAZ IS NULL)", 5),
              "Giovanna A milano 1");
    EXPECT_EQ(rs().text(0), "5");
    EXPECT_EQ(grid->currentRow(), 5);
    // Cancel writes nothing.
    withForm(&frmEDIT::cmdModifica_Click, [](frmINPUT& form) {
        form.setFieldText(3, "Nessuno");
        form.cmdEsci_Click();
    });
    EXPECT_EQ(stored("NOME1", 5), "Giovanna");
    // A GR the user typed is settled as before.
    selectRows(6, 6);
    modify(14, "B");
    EXPECT_EQ(stored("GR", 6), "BB");

    // Rename one of the B rows so that it leaves the filter: the list shrinks.
    grid->optLett_Click('B'); // Bianchi1, Brambilla3, Bianchi11, Brambilla13
    ASSERT_EQ(state.displayedCount, 4);
    selectRows(2, 2);
    modify(2, "Neri");
    EXPECT_EQ(status(), QStringList({"2/3", "F"}));
    EXPECT_EQ(cell(2, 2), "Bianchi11");

    // The only match of a search leaves it: the whole archive, on the changed address.
    search("brambilla13");
    ASSERT_EQ(state.displayedCount, 1);
    modify(2, "Altieri");
    EXPECT_EQ(status(), QStringList({"14/20", ""}));
    EXPECT_EQ(rs().text(2), "Altieri");

    // The archive removed under the grid is reported on the next write.
    QFile::remove(path);
    modify(3, "Perso");
    EXPECT_TRUE(
        dialogs.lastMessage().startsWith("L'archivio 'Indirizzi.mdb' non è più disponibile."));
    EXPECT_NE(rs().text(3), "Perso");
}

TEST_F(Commands, DeleteOneOrManyRemovesExactlyTheChosenRows) {
    openGrid(test::generatedAddresses(12));
    sortBy(0); // rows and NR agree
    selectRows(5, 7);
    dialogs.answerMessage(MsgResult::No);
    grid->cmdRimuovi_Click();
    EXPECT_EQ(dialogs.lastMessage(), "Cancellare 3 Indirizzi selezionati ?");
    EXPECT_EQ(test::countIn(path), 12);
    grid->cmdRimuovi_Click(); // Yes
    EXPECT_EQ(test::storedColumn(path, "NR"),
              (QStringList{"1", "2", "3", "4", "8", "9", "10", "11", "12"}));
    EXPECT_EQ(state.archiveCount, 9);
    EXPECT_EQ(grid->selectionCount(), 1);
    EXPECT_EQ(rs().text(0), "8");
    EXPECT_EQ(status(), QStringList({"5/9", ""}));

    // One row goes through the form in delete mode.
    selectRows(9, 9);
    withForm(&frmEDIT::cmdRimuovi_Click, [](frmINPUT& form) {
        EXPECT_EQ(form.windowTitle(), "Elimina Indirizzo");
        EXPECT_FALSE(form.box(2)->isEnabled());
        form.cmdConferma_Click();
    });
    EXPECT_EQ(test::countIn(path), 8);
    EXPECT_EQ(rs().text(0), "11"); // the new last row
    EXPECT_EQ(grid->statusText(3), "8/8");

    // Deleting the whole filtered list brings back the rest.
    grid->optLett_Click('R'); // Rossi0, Romano7, Ricci9, Rossi10
    const qint64 filtered = state.displayedCount;
    ASSERT_GE(filtered, 2);
    selectRows(1, int(filtered));
    grid->cmdRimuovi_Click();
    EXPECT_EQ(state.archiveCount, 8 - filtered);
    EXPECT_EQ(state.displayedCount, 8 - filtered);
    EXPECT_EQ(grid->statusText(4), "");

    // And every address: "0/0".
    selectRows(1, int(state.displayedCount));
    grid->cmdRimuovi_Click();
    EXPECT_EQ(test::countIn(path), 0);
    EXPECT_EQ(grid->statusText(3), "0/0");
}

TEST_F(Commands, CardFileMovesThroughTheGridsOrder) {
    auto rows = test::generatedAddresses(25);
    rows[0]["NAZ"] = "CH";
    openGrid(rows);
    selectRows(12, 12);
    const QString atTwelve = rs().text(2);
    auto* card = new addresses::frmSchedario(*ctx, *grid, [](const QString& code) {
        return code == "CH" ? QStringLiteral("SVIZZERA") : QString();
    });
    card->show();
    EXPECT_TRUE(grid->isHidden());
    EXPECT_EQ(card->frameCaption(), "Schedario (Ord. Cognome)");
    EXPECT_TRUE(card->lettersShown());
    EXPECT_EQ(card->fieldText(2), atTwelve);

    card->cmdUltimo_Click();
    for (int k = 0; k < 7; ++k) // to the eighth-last
        card->cmdIndietro_Click();
    card->cmdAVANTI10_Click();
    EXPECT_EQ(dialogs.lastMessage(), "Fine schedario !");
    EXPECT_EQ(rs().absolutePosition(), 25);
    card->cmdAvanti_Click();
    EXPECT_EQ(dialogs.messages().size(), 2u);
    card->cmdPrimo_Click();
    card->cmdINDIETRO10_Click();
    EXPECT_EQ(dialogs.lastMessage(), "Inizio schedario !");

    card->cmdLETT_Click('V');
    EXPECT_TRUE(card->fieldText(2).startsWith("Verdi"));
    card->cmdLETT_Click('Q');
    EXPECT_EQ(dialogs.lastMessage(),
              "Nessun indirizzo trovato con iniziale 'Q'\r\nnel campo COGNOME");
    EXPECT_TRUE(card->fieldText(2).startsWith("Verdi"));
    QTest::keyClick(card, Qt::Key_R); // a typed letter is its button
    EXPECT_EQ(card->fieldText(2), "Ricci19");

    // Ricci19, Ricci9, Romano17, Romano7, Rossi0: the country code CH shows as its name.
    for (int k = 0; k < 4; ++k)
        card->cmdAvanti_Click();
    EXPECT_EQ(card->fieldText(2), "Rossi0");
    EXPECT_EQ(card->fieldText(9), "SVIZZERA");
    card->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(grid->isHidden());
    EXPECT_EQ(rs().text(2), cell(int(grid->currentRow()), 2));

    // Sorted by postcode: no letters.
    sortBy(6);
    auto* byCap = new addresses::frmSchedario(*ctx, *grid, {});
    EXPECT_FALSE(byCap->lettersShown());
    byCap->close();
}
