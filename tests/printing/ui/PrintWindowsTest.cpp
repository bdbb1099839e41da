#include "support/CommandRun.h"
#include "support/PrintContext.h"

#include "printing/PrinterCalibration.h"
#include "printing/ui/CalibrationDialog.h"
#include "printing/ui/CalibrationView.h"
#include "printing/ui/SheetView.h"
#include "printing/ui/frmImpostaStampante.h"
#include "printing/ui/frmSpedizioneBlocco.h"
#include "printing/ui/frmStampaSingola.h"
#include "printing/ui/frmStampaTipogr.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineF>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <array>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;
using common::MsgResult;

namespace {

// Two printers, Laser the system's default; four addresses of ROMA and two of MILANO at
// one door.
struct Context : test::PrintContext {
    Context() : PrintContext({QStringLiteral("Laser"), QStringLiteral("Ufficio")}) {
        for (const auto& [cognome, nome, cap, gr] : {std::array{"VERDI", "ANNA", "30100", "AA"},
                                                     {"BIANCHI", "LUCA", "10100", "AA"},
                                                     {"ROSSI", "MARIO", "20100", "BB"},
                                                     {"NERI", "PAOLO", "40100", "AA"}})
            add(cognome, nome, cap, gr);
        for (const char* nome : {"Ada", "Ugo"}) {
            archive::Statement st(
                session.mainDb, "INSERT INTO TabMAIL (COGNOME, NOME1, INDIRIZZO, CAP, CITTA, SERV) "
                                "VALUES ('Rossi', ?, 'Via Po 1', '20100', 'MILANO', 0)");
            st.bindText(1, nome).exec();
        }
    }
};

} // namespace

// The windows of one archive and its printers: singles, the group job, calibration.
TEST(PrintWindows, SinglesEnvelopesGroupJobCalibrationAndPrinterChoice) {
    Context c;
    frmStampaSingola w(c.ctx);
    ASSERT_TRUE(w.load());
    w.show();
    // By surname and name: BIANCHI, NERI, Rossi Ada, ROSSI MARIO, Rossi Ugo, VERDI.
    w.GRIDch->selectRow(0);
    w.addCurrent();
    w.addCurrent(); // the same address twice: still one row
    EXPECT_EQ(w.labelCount(), 1);
    EXPECT_EQ(w.lblNrEti->text(), "1");
    w.GRIDch->selectRow(5);
    QTest::keyClick(w.GRIDch, Qt::Key_Space);
    EXPECT_EQ(w.labelCount(), 2);
    EXPECT_EQ(w.GRIDst->item(1, 1)->text(), "VERDI");
    QTest::keyClick(w.GRIDch, Qt::Key_R); // initial-letter search in the surname
    EXPECT_EQ(w.GRIDch->currentIndex().row(), 2);
    QTest::keyClick(w.GRIDch, Qt::Key_Z);
    EXPECT_EQ(c.dialogs.lastMessage(),
              "Nessun indirizzo trovato con iniziale 'Z'\r\nnel campo COGNOME");

    w.Etx_Click(5);
    EXPECT_EQ(w.startPosition(), (LabelPosition{2, 2}));
    EXPECT_EQ(w.picFoglio->start(), 5);

    w.cmdStampa_Click(); // confirmation answered OK by the script
    const QStringList printed = c.printed();
    ASSERT_FALSE(printed.isEmpty());
    EXPECT_EQ(printed[1], "BIANCHI LUCA");
    EXPECT_DOUBLE_EQ(c.events.front().x, 70);
    EXPECT_DOUBLE_EQ(c.events.front().y, 36);
    EXPECT_EQ(c.dialogs.lastMessage(), "Stampa terminata.");
    EXPECT_TRUE(
        c.dialogs.messages()[c.dialogs.messages().size() - 2].startsWith("Stampante: Laser\r\n"));

    w.removeListRow(0);
    EXPECT_EQ(w.labelCount(), 1);
    w.cmdCancella_Click();
    EXPECT_EQ(w.labelCount(), 0);
    EXPECT_FALSE(w.cmdCancella->isEnabled());

    // The envelope of the current row, on the landscape page.
    w.GRIDch->selectRow(2); // printing sorted the grid by number again
    w.cmdBUSTA_Click();
    EXPECT_TRUE(
        c.dialogs.lastMessage().startsWith("Stampante: Laser\r\nIndirizzo da stampare: \r\n"));
    EXPECT_EQ(c.printed(), (QStringList{"ROSSI MARIO", "20100 ROMA (RM)"}));

    // One label per door: a family's envelope once more than one of its door is chosen.
    for (int row : {2, 4, 5}) {
        w.GRIDch->selectRow(row);
        w.addCurrent();
    }
    w.GRIDch->selectRow(5);
    w.cmdBUSTA_Click();
    EXPECT_EQ(c.printed(), (QStringList{"Rossi Ugo", "Via Po 1", "20100 MILANO"}));
    w.chkFamiglie->setChecked(true);
    w.cmdBUSTA_Click();
    // The empty name too.
    EXPECT_EQ(c.printed(), (QStringList{"FAMIGLIA ROSSI ", "Via Po 1", "20100 MILANO"}));

    // The group window on the same archive: its code rules and the job.
    frmStampaTipogr g(c.ctx);
    g.show();
    QTest::keyClicks(g.txtGRUPPO, "a -");
    EXPECT_EQ(g.txtGRUPPO->text(), "A");
    EXPECT_EQ(g.cboORDINAMENTO->currentIndex(), 6);
    c.dialogs.answerMessage(MsgResult::Ok);
    c.dialogs.answerInput(QStringLiteral("gruppo-aa"));
    g.cmdStampa_Click();
    EXPECT_EQ(g.txtGRUPPO->text(), "AA");
    EXPECT_TRUE(QFile::exists(c.state.stampeTipDir + "/gruppo-aa.txt"));
    EXPECT_EQ(c.dialogs.lastMessage(), "Stampa terminata.");
    EXPECT_EQ(c.printed().count(" "), 3);
    EXPECT_EQ(c.printed()[1], "BIANCHI LUCA"); // 10100 first

    // "Stampa i contorni": each of the three labels outlined as well, where it lands.
    const auto rules = [&](QPointF from) {
        return std::count_if(c.events.begin(), c.events.end(), [from](const auto& e) {
            return e.kind == RecordingPrinter::Event::Kind::Rule &&
                   (from.isNull() || QLineF(from, QPointF(e.x, e.y)).length() < 1e-9);
        });
    };
    EXPECT_EQ(rules({}), 0);
    g.chkContorni->setChecked(true);
    c.dialogs.answerMessage(MsgResult::Ok);
    c.dialogs.answerInput(QStringLiteral("gruppo-aa-contorni"));
    g.cmdStampa_Click();
    EXPECT_EQ(rules({}), 3 * 4);
    const QPointF origin(25.4 / 6, 25.4 / 6); // the recording printer's paper origin
    EXPECT_EQ(rules(SheetFormat::standard().physicalLabel({1, 3}).bottomRight() - origin), 1);

    // The calibration dialog saves only its printer, refuses one gone and draws the labels
    // moved; the printer window's choice is kept.
    const PrinterCalibration office{0.5, 0.5, 100.5, 100.5};
    office.save(c.settings, QStringLiteral("Ufficio"));
    {
        ui::CalibrationDialog w(c.dialogs, c.printers, "Laser", SheetFormat::standard());
        const QRectF before = w.picEtichette->movedLabelRect(24);
        w.txtSpostamentoX->setValue(2.3);
        w.txtSpostamentoY->setValue(-1.4);
        w.txtScalaY->setValue(99.25);
        // The last label moves right and up in the drawing.
        const QRectF after = w.picEtichette->movedLabelRect(24);
        EXPECT_GT(after.left(), before.left());
        EXPECT_LT(after.top(), before.top());
        EXPECT_TRUE(w.cmdSalva_Click());
    }
    const PrinterCalibration laser = PrinterCalibration::load(c.settings, QStringLiteral("Laser"));
    EXPECT_EQ(laser, (PrinterCalibration{2.3, -1.4, 100, 99.25}));
    {
        // Opens on the values still stored; "Azzera" and "Salva" leave the printer without any.
        ui::CalibrationDialog w(c.dialogs, c.printers, "Ufficio", SheetFormat::standard());
        EXPECT_EQ(w.values(), office);
        w.cmdAzzera_Click();
        EXPECT_TRUE(w.cmdSalva_Click());
    }
    EXPECT_FALSE(PrinterCalibration::isStored(c.settings, QStringLiteral("Ufficio")));
    {
        ui::CalibrationDialog w(c.dialogs, c.printers, "Sparita", SheetFormat::standard());
        w.txtSpostamentoX->setValue(1);
        EXPECT_FALSE(w.cmdSalva_Click());
        EXPECT_TRUE(c.dialogs.lastMessage().contains("\"Sparita\" non è più disponibile"));
    }
    EXPECT_FALSE(PrinterCalibration::isStored(c.settings, QStringLiteral("Sparita")));

    // The printer window's test sheet goes to the chosen printer with its calibration.
    frmImpostaStampante window(c.printers, c.dialogs);
    EXPECT_EQ(window.cboPRN->count(), 2);
    EXPECT_EQ(window.cboPRN->currentText(), "Laser");
    EXPECT_EQ(window.lblPredef->text(), "Laser");
    ASSERT_FALSE(window.cmdProva->isHidden());
    window.cmdProva->click();
    const QStringList sheet = c.printed();
    ASSERT_TRUE(sheet.size() > 2);
    EXPECT_TRUE(sheet[sheet.size() - 2].startsWith("Foglio di prova - Laser - "));
    EXPECT_TRUE(sheet.last().contains(QStringLiteral("orizzontale +2,3 mm")));
    const double plainX = 8 + 4; // the heading's left edge in the layout
    const auto heading =
        std::find_if(c.events.begin(), c.events.end(), [](const RecordingPrinter::Event& e) {
            return e.text.startsWith(QStringLiteral("Foglio di prova"));
        });
    ASSERT_NE(heading, c.events.end());
    EXPECT_NEAR(heading->x, laser.apply(QPointF(plainX, 0) + origin).x() - origin.x(), 1e-9);
    EXPECT_EQ(c.dialogs.lastMessage(), QStringLiteral("Stampa terminata."));
    PrinterCalibration::reset(c.settings, QStringLiteral("Laser"));

    // Opening the window changed nothing; another choice lasts.
    EXPECT_EQ(c.printers.currentName(), "Laser");
    {
        frmImpostaStampante choice(c.printers);
        choice.cboPRN->setCurrentIndex(1);
    }
    EXPECT_EQ(c.printers.currentName(), "Ufficio");
    EXPECT_EQ(frmImpostaStampante(c.printers).cboPRN->currentText(), "Ufficio");
}

TEST(frmSpedizioneBlocco, GroupsOrSelectionToLabelsListReminderAndCsv) {
    test::PrintContext c;
    c.state.senders.sender1 = {"Circolo Velico", "Via Lago 1", "", "", "", ""};
    // 12 pieces at 20121 (group AA), 3 at 00100 (group BB).
    for (int i = 0; i < 15; ++i)
        c.add(QStringLiteral("Rossi%1").arg(i), {}, i < 12 ? "20121" : "00100",
              i < 12 ? "AA" : "BB");
    archive::Statement(c.session.mainDb,
                       "UPDATE TabMAIL SET INDIRIZZO = 'Via Po, 3', CITTA = 'Milano', "
                       "PROV = 'MI' WHERE CAP = '20121'")
        .exec();
    frmSpedizioneBlocco w(c.ctx, {13, 14});
    EXPECT_TRUE(w.chkPOSTALE->isChecked());
    EXPECT_EQ(w.spnMINIMO->value(), 10);
    // The chosen sheet first; another sheet gives its own rows and columns to the start label.
    EXPECT_TRUE(w.cboFOGLIO->currentText().startsWith("A4 3x8 70x36 "))
        << w.cboFOGLIO->currentText().toStdString();
    EXPECT_EQ(w.spnRIGA->maximum(), 8);
    w.cboFOGLIO->setCurrentIndex(w.cboFOGLIO->findText("A4 4x10", Qt::MatchStartsWith));
    EXPECT_EQ(w.spnRIGA->maximum(), 10);
    EXPECT_EQ(w.spnCOLONNA->maximum(), 4);
    w.cboFOGLIO->setCurrentIndex(w.cboFOGLIO->findText("A4 3x8 70x36", Qt::MatchStartsWith));
    w.cmdStampa_Click();
    EXPECT_EQ(c.dialogs.lastMessage(), "Selezionare un Gruppo !");

    w.txtGRUPPI->setText("aa, bb");
    w.txtPRODOTTO->setText("Posta Target");
    c.dialogs.answerMessage(common::MsgResult::Ok);
    c.dialogs.answerInput(QStringLiteral("blocco"));
    w.cmdStampa_Click();
    EXPECT_TRUE(c.dialogs.lastMessage().startsWith("Stampa terminata.\r\nMazzetti: 2, pezzi: 15."))
        << c.dialogs.lastMessage().toStdString();
    const QStringList printed = c.printed();
    ASSERT_GE(printed.size(), 4);
    EXPECT_EQ(printed.mid(0, 3), (QStringList{"MAZZETTO 1", "CAP 20121 MILANO", "12 pezzi"}));
    EXPECT_TRUE(printed.contains("VIA PO 3"));
    EXPECT_TRUE(QFile::exists(c.state.stampeTipDir + "/blocco.txt"));
    EXPECT_TRUE(test::fileBytes(c.state.stampeTipDir + "/blocco_distinta.csv")
                    .contains("1;20121;MILANO;12\r\n2;RESTO D'ITALIA;;3\r\n"));

    // The grid's selection alone: two addresses, one bundle.
    w.chkSELEZIONE->setChecked(true);
    EXPECT_FALSE(w.txtGRUPPI->isEnabled());
    c.dialogs.answerMessage(common::MsgResult::Ok);
    c.dialogs.answerInput(QStringLiteral("scelti"));
    w.cmdStampa_Click();
    EXPECT_TRUE(c.dialogs.lastMessage().startsWith("Stampa terminata.\r\nMazzetti: 1, pezzi: 2."));
}
