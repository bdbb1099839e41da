#include "../ExchangeTest.h"
#include "../WindowFixture.h"
#include "archive/DataModel.h"
#include "exchange/ExchangeError.h"
#include "exchange/ui/frmIMPORTAFILE.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace velomar;
using archive::DataModel;
using exchange::ui::frmIMPORTAFILE;

namespace {

exchange::SourceOpener contacts(int* opened) {
    return [opened](const QString& path,
                    const exchange::SourceOptions&) -> std::unique_ptr<exchange::SourceTable> {
        if (!path.endsWith(QLatin1String(".csv")))
            throw exchange::ExchangeError(exchange::ExchangeError::Unsupported,
                                          QStringLiteral("Formato non supportato"));
        ++*opened;
        return std::make_unique<test::MemoryTable>(
            QStringList{"Given Name", "Family Name", "Address 1 - Street",
                        "Address 1 - Postal Code", "Address 1 - Country", "Phone 1 - Value",
                        "Birthday"},
            std::vector<QStringList>{
                {"Mario", "Rossi", "Via Roma 1", "820", "Italy", "02 1", "1 maggio"},
                {"Anna", "Cognome01", "", "", "", "", ""}, // already in the archive
                {"Hans", "Müller", "Hauptstr. 5", "10115", "DE", "", ""}});
    };
}

QString cell(QTableWidget* grid, int row, int field) {
    const QTableWidgetItem* item = grid->item(row, field - DataModel::TITOLO);
    return item ? item->text() : QStringLiteral("<none>");
}

} // namespace

// The preview, the import and Annulla; Access tables and a contact's addresses to choose from.
TEST(frmIMPORTAFILE, PreviewShowsRowsAsStoredImportSummarisesAndAnnullaChangesNothing) {
    test::WindowFixture f(3);
    f.state.programDir = test::binaryPath("data"); // where StatiEsteri.mdb is built
    int opened = 0;
    frmIMPORTAFILE w(f.ctx(), contacts(&opened));

    f.dialogs.answerFile(f.dir.filePath("rubrica.vcf"));
    w.cmdSfoglia_Click();
    EXPECT_EQ(f.dialogs.lastMessage(),
              "Impossibile leggere il file rubrica.vcf.\nFormato non supportato");
    EXPECT_FALSE(w.cmdImporta->isEnabled());

    f.dialogs.answerFile(f.dir.filePath("rubrica.csv"));
    w.cmdSfoglia_Click();
    EXPECT_EQ(w.lblFormato->text(), "Tabella di prova");
    EXPECT_EQ(w.cboCampo[DataModel::COGNOME]->currentText(), "Family Name");
    EXPECT_EQ(w.cboCampo[DataModel::CAP]->currentText(), "(Address 1: Home, altrimenti il primo con la via)");
    EXPECT_EQ(w.cboCampo[DataModel::NOTE]->currentText(), "(nessuna)");
    ASSERT_EQ(w.GRIDanteprima->rowCount(), 3);
    EXPECT_EQ(cell(w.GRIDanteprima, 0, DataModel::CAP), "00820");
    EXPECT_EQ(cell(w.GRIDanteprima, 0, DataModel::NAZ), "");
    EXPECT_EQ(cell(w.GRIDanteprima, 0, DataModel::NUM_TEL), "02 1");

    // Every change shows at once in the preview.
    w.cboCampo[DataModel::NUM_TEL]->setCurrentIndex(0);
    EXPECT_EQ(cell(w.GRIDanteprima, 0, DataModel::NUM_TEL), "");
    w.chkNote->setChecked(true);
    EXPECT_EQ(cell(w.GRIDanteprima, 0, DataModel::NOTE), "Birthday: 1 maggio\nPhone 1: 02 1");
    w.txtGruppo->setText("zz");
    EXPECT_EQ(cell(w.GRIDanteprima, 2, DataModel::GR), "ZZ");
    const int beforeOverride = opened;
    w.cboSeparatore->setCurrentIndex(2); // read again with the delimiter chosen
    EXPECT_EQ(opened, beforeOverride + 1);

    w.txtGruppo->setText("z!");
    w.cmdImporta_Click();
    EXPECT_EQ(f.dialogs.lastMessage(), "Il Gruppo è fatto di una o due lettere o cifre.");
    w.txtGruppo->setText("ZZ");
    w.cboDoppioni->setCurrentIndex(int(exchange::DuplicateChoice::Exact));
    w.cmdImporta_Click();
    ASSERT_TRUE(w.lastSummary().has_value());
    EXPECT_EQ(f.dialogs.lastMessage().toStdString(),
              "Importati 2 indirizzi.\nDoppioni saltati: 1.\n"
              "Indirizzi con CAP, comune e provincia che non concordano: 1 (Archivio, Verifica indirizzi).");
    EXPECT_EQ(f.state.archiveCount, 5);
    EXPECT_EQ(test::countAddresses(f.session.mainDb, "WHERE GR = 'ZZ'"), 2);
    EXPECT_EQ(test::countAddresses(f.session.mainDb, "WHERE NAZ = 'GERMANIA' AND CAP = '10115'"),
              1);
    EXPECT_FALSE(w.BARRA->isVisible());

    // Annulla pressed while row 600 is being read leaves the archive as it was.
    frmIMPORTAFILE cancelled(f.ctx(), [&](const QString&, const exchange::SourceOptions&) {
        return std::make_unique<test::MemoryTable>(
            QStringList{"Cognome"}, std::vector<QStringList>(2000, QStringList{"Rossi"}),
            [&](int row) {
                if (row == 600)
                    cancelled.cmdAnnulla->click();
            });
    });
    ASSERT_TRUE(cancelled.loadSource("lista.csv"));
    cancelled.cmdImporta_Click();
    ASSERT_TRUE(cancelled.lastSummary().has_value());
    EXPECT_TRUE(cancelled.lastSummary()->cancelled);
    EXPECT_EQ(f.dialogs.lastMessage(),
              "Importazione annullata: l'archivio non è stato modificato.");
    EXPECT_EQ(test::countAddresses(f.session.mainDb), 5);
    EXPECT_EQ(f.state.archiveCount, 5);
    EXPECT_TRUE(cancelled.cmdImporta->isEnabled());
    EXPECT_FALSE(cancelled.cmdAnnulla->isEnabled());

    // An Access database lists its tables, the address table chosen.
    frmIMPORTAFILE access(f.ctx());
    ASSERT_TRUE(access.loadSource(test::sourcePath("tests/exchange/data/access/nwind.mdb")));
    ASSERT_TRUE(access.cboTabella->isEnabled());
    ASSERT_EQ(access.cboTabella->count(), 9);
    EXPECT_EQ(access.cboTabella->itemText(0), "Order Details (2155 righe)");
    EXPECT_EQ(access.cboTabella->currentText(), "Customers (91 righe)");
    EXPECT_EQ(access.lblFormato->text(), "Access Jet 3 (Access 97), tabella \"Customers\"");
    EXPECT_EQ(access.cboCampo[DataModel::CITTA]->currentText(), "City");
    EXPECT_EQ(access.GRIDanteprima->rowCount(), frmIMPORTAFILE::PreviewRows);

    access.cboTabella->setCurrentIndex(access.cboTabella->findData("Shippers"));
    EXPECT_EQ(access.lblFormato->text(), "Access Jet 3 (Access 97), tabella \"Shippers\"");
    EXPECT_EQ(access.GRIDanteprima->rowCount(), 3);

    // Another kind of file has no tables to choose.
    ASSERT_TRUE(access.loadSource(test::sourcePath("tests/exchange/data/csv/italiano-1252.csv")));
    EXPECT_FALSE(access.cboTabella->isEnabled());
    EXPECT_EQ(access.cboTabella->count(), 0);

    // Which address of a contact was taken is shown, and the user can choose another.
    frmIMPORTAFILE contact(f.ctx(), [](const QString&, const exchange::SourceOptions&) {
        return std::make_unique<test::MemoryTable>(
            QStringList{"Family Name", "Address 1 - Type", "Address 1 - Street", "Address 2 - Type",
                        "Address 2 - Street"},
            std::vector<QStringList>{{"Rossi", "Work", "Via Torino 40", "Home", "Via Garibaldi 12"},
                                     {"Bianchi", "Other", "", "Work", "Corso Como 10"}});
    });
    ASSERT_TRUE(contact.loadSource("google.csv"));
    ASSERT_EQ(contact.cboIndirizzo->count(), 3);
    const int used = DataModel::FieldCount - DataModel::TITOLO; // the column after the fields
    ASSERT_EQ(contact.GRIDanteprima->columnCount(), used + 1);
    const auto row = [&](int r) {
        return cell(contact.GRIDanteprima, r, DataModel::INDIRIZZO) + " / " +
               contact.GRIDanteprima->item(r, used)->text();
    };
    EXPECT_EQ(row(0), "Via Garibaldi 12 / Address 2 (Home)");
    EXPECT_EQ(row(1), "Corso Como 10 / Address 2 (Work)");
    contact.cboIndirizzo->setCurrentIndex(1);
    EXPECT_EQ(row(0), "Via Torino 40 / Address 1 (Work)");
    EXPECT_EQ(row(1), " / Address 1 (Other)");
}
