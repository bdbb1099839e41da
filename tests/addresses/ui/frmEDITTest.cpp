#include "GridFixture.h"

#include "addresses/GridColumns.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>

using namespace velomar;
using addresses::frmEDIT;
using common::MsgIcon;
namespace G = addresses::GridColumns;
using Grid = test::GridFixture;

TEST_F(Grid, OpensOnTheArchiveWithHeadersStatusAndStoredLayoutAndGoesToANumber) {
    openGrid(test::generatedAddresses(30));
    EXPECT_EQ(grid->windowTitle(), "Lista Midifile");
    EXPECT_EQ(state.archiveCount, 30);
    EXPECT_EQ(state.displayedCount, 30);
    EXPECT_EQ(status(), QStringList({"1/30", ""}));
    EXPECT_EQ(grid->statusText(5), "Ord. Cognome"); // default sort COGNOME,NOME1
    EXPECT_TRUE(view()->isColumnHidden(17));
    EXPECT_EQ(view()->model()->headerData(7, Qt::Horizontal).toString(), QStringLiteral("CITTÀ"));
    EXPECT_EQ(grid->controls().cboRICERCHE->currentText(), "Cognome");
    EXPECT_EQ(grid->controls().cboORDINAMENTO->count(), 17);
    const double dpi = view()->logicalDpiX();
    EXPECT_GE(view()->columnWidth(5), G::twipsToPixels(1930, dpi));
    for (int c = 0; c < 17; ++c) // every header readable
        EXPECT_GE(view()->columnWidth(c),
                  view()->horizontalHeader()->fontMetrics().horizontalAdvance(G::header(c)));
    // Sorted by surname: Bianchi1 first; the record set stands on the grid's row.
    EXPECT_EQ(cell(1, 2), "Bianchi1");
    EXPECT_EQ(rs().text(2), "Bianchi1");
    selectRows(4, 4);
    EXPECT_EQ(rs().text(2), cell(4, 2));
    EXPECT_EQ(grid->statusText(3), "4/30");

    // Print buttons do nothing until a print window is plugged in.
    EXPECT_FALSE(grid->controls().cmdStampaLista->isEnabled());
    int printed = 0;
    grid->setPrintAction(frmEDIT::PrintButton::Lista, [&] { ++printed; });
    grid->controls().cmdStampaLista->click();
    EXPECT_EQ(printed, 1);

    // Sort by town, widen a column, search on "Città": all come back next time.
    sortBy(7);
    EXPECT_EQ(grid->statusText(5), "Ord. Città");
    EXPECT_EQ(cell(1, 7), "BARI");
    grid->controls().cboRICERCHE->setCurrentIndex(6);
    view()->setColumnWidth(2, 300);
    view()->setColumnWidth(17, 80);
    closeGrid();
    EXPECT_EQ(state.displayedCount, 0);
    EXPECT_FALSE(session.mainRs.isOpen());
    reopen();
    EXPECT_EQ(grid->statusText(5), "Ord. Città");
    EXPECT_EQ(grid->controls().cboRICERCHE->currentText(), "Città");
    // Reading the archive again (after an import) keeps the user's widths.
    view()->setColumnWidth(3, 222);
    grid->reloadArchive();
    EXPECT_EQ(view()->columnWidth(2), 300);
    EXPECT_EQ(view()->columnWidth(3), 222);
    EXPECT_TRUE(view()->isColumnHidden(17));
    closeGrid();
    EXPECT_EQ(settings.gridColumnWidth(3), G::pixelsToTwips(222, dpi));

    // One width missing: every column back to its default.
    QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear();
    for (int c = 0; c < 10; ++c)
        settings.setGridColumnWidth(c, 3000);
    reopen();
    EXPECT_EQ(view()->columnWidth(2), G::twipsToPixels(1820, dpi));
    EXPECT_NE(view()->columnWidth(0), G::twipsToPixels(3000, dpi));
    grid->DefaultGriglia();
    EXPECT_GE(view()->columnWidth(0), G::twipsToPixels(520, dpi));

    // Go to number, within the filter.
    dialogs.clear();
    selectRows(3, 3);
    const QString before = rs().text(2);
    dialogs.answerInput(QStringLiteral("abc"));
    grid->cmdVai_Click();
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(dialogs.shown().front().text, "Numero Cronologico dell'Indirizzo");
    EXPECT_EQ(dialogs.shown().front().title, "Vai a...");
    EXPECT_EQ(rs().text(2), before);

    dialogs.answerInput(QStringLiteral(" 17 "));
    grid->cmdVai_Click();
    EXPECT_EQ(rs().text(0), "17");
    EXPECT_EQ(cell(int(grid->currentRow()), 0), "17");

    grid->optLett_Click('V'); // Verdi2, Verdi12, Verdi22
    selectRows(2, 2);
    const QString kept = rs().text(0);
    dialogs.answerInput(QStringLiteral("17"));
    grid->cmdVai_Click();
    EXPECT_EQ(dialogs.lastMessage(), "Numero Indirizzo non trovato !");
    EXPECT_EQ(rs().text(0), kept);
    EXPECT_EQ(grid->currentRow(), 2);
}

TEST_F(Grid, EmptyArchiveAnswersEveryCommand) {
    openGrid({});
    EXPECT_EQ(grid->statusText(3), "0/0");
    grid->setPrintAction(frmEDIT::PrintButton::EtichetteSingole, [] { FAIL(); });
    grid->controls().cmdStEtiSingole->click();
    grid->cmdModifica_Click();
    grid->cmdRimuovi_Click();
    grid->cmdTROVA_Click();
    grid->cmdVai_Click();
    grid->optLett_Click('A');
    grid->cboORDINAMENTO_Click();
    EXPECT_EQ(dialogs.messages(),
              (std::vector<QString>{"Non ci sono Indirizzi da stampare.",
                                    "Non ci sono Indirizzi da modificare.",
                                    "Non ci sono Indirizzi da eliminare.", "Non ci sono Indirizzi.",
                                    "Non ci sono Indirizzi."}));
    EXPECT_EQ(dialogs.shown().front().icon, MsgIcon::Exclamation);
    EXPECT_FALSE(grid->controls().optLett[0]->isChecked());
}

TEST_F(Grid, WordSearchFindsLiteralTextAndKeepsTheListWhenNothingMatches) {
    auto rows = test::generatedAddresses(20);
    rows.push_back({{"COGNOME", "D'Angelo"}, {"NOTE", "sconto 50%"}});
    rows.push_back({{"COGNOME", "Weiß"}});
    rows.push_back({{"COGNOME", "95 Ditta"}, {"CITTA", "BOLOGNA"}});
    openGrid(rows);
    search(" rossi ");
    EXPECT_EQ(dialogs.shown().back().text, "Inserire la parola da ricercare in 'Cognome'");
    EXPECT_EQ(dialogs.shown().back().title, "Ricerca");
    EXPECT_EQ(rs().filter(), "COGNOME LIKE '*ROSSI*'");
    EXPECT_EQ(state.displayedCount, 2); // Rossi0, Rossi10
    EXPECT_EQ(status(), QStringList({"1/2", "F"}));

    // Nothing found: message, and the previous filter, row and mark stay.
    selectRows(2, 2);
    search("zzz");
    EXPECT_EQ(dialogs.shown().back().defaultText, "");
    EXPECT_EQ(dialogs.lastMessage(),
              "Valore da cercare = ZZZ su 'Cognome'\r\nNessun Record trovato !");
    EXPECT_EQ(dialogs.shown().back().icon, MsgIcon::Information);
    EXPECT_EQ(status(), QStringList({"2/2", "F"}));
    EXPECT_EQ(rs().text(2), "Rossi10");

    // Upper-cased letter by letter: ß stays ß and is found.
    search("weiß");
    EXPECT_EQ(rs().filter(), "COGNOME LIKE '*WEIß*'");
    EXPECT_EQ(cell(1, 2), "Weiß");
    // Notes are searched by substring like any other field.
    searchOn(14);
    search("50%");
    EXPECT_EQ(state.displayedCount, 1);
    EXPECT_EQ(cell(1, 2), "D'Angelo");

    // An empty answer changes nothing; the last word is offered next time.
    dialogs.clear();
    search("   ");
    EXPECT_EQ(dialogs.shown().front().defaultText, "50%");
    EXPECT_TRUE(dialogs.messages().empty());
    grid->cmdLettALL_Click();
    EXPECT_EQ(status(), QStringList({"1/23", ""}));

    // Letter and digit filters follow the search field.
    searchOn(1);
    QGroupBox* letters = grid->controls().fraINIZIALI;
    grid->optLett_Click('B');
    EXPECT_EQ(status(), QStringList({"1/4", "F"})); // Bianchi1/11, Brambilla3/13
    EXPECT_TRUE(grid->controls().optLett[1]->isChecked());
    EXPECT_EQ(letters->title(), "Ricerca per Iniziale 'B'");
    EXPECT_TRUE(letters->font().bold());

    // No Z: the B list stays, no button is left selected.
    grid->optLett_Click('Z');
    EXPECT_EQ(dialogs.lastMessage(), "Nessun Record con iniziale 'Z' al campo Cognome !");
    EXPECT_EQ(status(), QStringList({"1/4", "F"}));
    EXPECT_FALSE(grid->controls().optLett[25]->isChecked());
    EXPECT_FALSE(grid->controls().optLett[1]->isChecked());

    grid->optLettNUM_Click();
    EXPECT_EQ(state.displayedCount, 1);
    EXPECT_EQ(cell(1, 2), "95 Ditta");
    EXPECT_EQ(letters->title(), "Ricerca per Iniziale '0...9'");

    // Changing the field re-runs the selected letter on the new field.
    searchOn(6); // Città
    grid->optLett_Click('M');
    EXPECT_EQ(state.displayedCount, 4); // MILANO
    searchOn(1);                        // M now on the surname: none, so the MILANO list stays
    EXPECT_EQ(dialogs.lastMessage(), "Nessun Record con iniziale 'M' al campo Cognome !");
    EXPECT_EQ(state.displayedCount, 4);
    searchOn(6);
    grid->optLett_Click('R');
    EXPECT_EQ(state.displayedCount, 4); // ROMA
    searchOn(1);
    EXPECT_EQ(state.displayedCount, 8); // Rossi*, Russo*, Romano*, Ricci*
    EXPECT_TRUE(grid->controls().optLett['R' - 65]->isChecked());

    // Typing a letter in the grid runs its filter; the title field has none.
    view()->setFocus();
    QTest::keyClick(view(), Qt::Key_V);
    EXPECT_EQ(state.displayedCount, 2);
    searchOn(0);
    EXPECT_FALSE(letters->isEnabled());

    grid->RimuoviFiltro();
    EXPECT_EQ(state.displayedCount, 23);
    EXPECT_EQ(letters->title(), "Ricerca per Iniziale");
    EXPECT_FALSE(letters->font().bold());
}
