#include "MainWindowFixture.h"

#include "printing/SheetCatalog.h"
#include "printing/ui/CustomSheetDialog.h"
#include "printing/ui/SheetFormatPicker.h"
#include "printing/ui/SheetView.h"
#include "printing/ui/frmStampaSingola.h"
#include "settings/SetupIni.h"
#include "shell/ui/frmOPT.h"
#include "support/CommandRun.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using velomar::common::MsgIcon;
using velomar::printing::LabelPosition;
using velomar::printing::SheetCatalog;
using velomar::printing::SheetFormat;
using velomar::printing::ui::CustomSheetDialog;
using velomar::settings::Options;
using velomar::settings::Settings;
using velomar::settings::SetupIni;
using velomar::shell::ui::frmOPT;

using velomar::test::fileBytes;
using Buttons = std::initializer_list<QAbstractButton*>;

using frmOPTTest = MainWindowFixture;

TEST_F(frmOPTTest, SendersFollowTheirBoxAndConfirmStoresMemoryStoreAndSetupIniShownAgain) {
    ASSERT_TRUE(window->load());
    // Boxes left alone store 0; the sender lines follow check box 11 at once, both ways.
    frmOPT w(*context);
    EXPECT_EQ(w.cboAlto->count(), 11);
    EXPECT_FALSE(w.fraMittente->isEnabled());
    w.show();
    w.ctrOPT[11]->click();
    EXPECT_TRUE(w.fraMittente->isEnabled());
    EXPECT_TRUE(w.optMITTENTE[1]->isEnabled());
    w.ctrOPT[11]->click();
    EXPECT_FALSE(w.txtMIT1[0]->isEnabled());
    for (QAbstractButton* b : Buttons{w.ctrOPT[3], w.ctrOPT[11], w.ctrOPT[19], w.chkSTILEPOSTALE,
                                      w.optBUSTA[1], w.optMITTENTE[1]})
        b->setChecked(true);
    for (auto [box, index] :
         {std::pair{w.cboDrive, 1}, {w.cboFloppy, 1}, {w.cboAlto, 10}, {w.cboSinistro, 4}})
        box->setCurrentIndex(index);
    w.txtMIT1[0]->setText("Parrocchia S. Maria");
    w.txtMIT1[1]->setText("Via Garibaldi, 3");
    w.txtMIT2[5]->setText(QString::fromUtf8("Città di Castello (PG)"));
    w.cmdOK->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_TRUE(dialogs.shown().empty());
    Options expected;
    for (auto [i, v] :
         {std::pair{3, 1}, {11, 1}, {19, 1}, {21, 1}, {22, 1}, {23, 10}, {24, 4}, {25, 1}, {26, 1}})
        expected.setValue(i, v);
    expected.setLabelPostalStyle(true);
    EXPECT_EQ(state.options, expected);
    EXPECT_EQ(Settings().readOptions(), expected);
    EXPECT_EQ(state.senders.sender2[5], QString::fromUtf8("Città di Castello (PG)"));
    EXPECT_EQ(SetupIni::read(state.setupIniPath).senders, state.senders);

    frmOPT again(*context);
    for (QAbstractButton* b :
         Buttons{again.ctrOPT[19], again.chkSTILEPOSTALE, again.optBUSTA[1], again.optMITTENTE[1]})
        EXPECT_TRUE(b->isChecked()) << b->text().toStdString();
    EXPECT_EQ(again.cboAlto->currentText() + ", " + again.cboSinistro->currentText(),
              "10 mm, 4 mm");
    EXPECT_EQ(again.txtMIT1[1]->text(), "Via Garibaldi, 3");
    EXPECT_TRUE(again.txtMIT1[1]->isEnabled());
}

TEST_F(frmOPTTest, SheetFoundByPartIsStoredOnConfirmAndDrawnInTheSingleLabelsWindow) {
    ASSERT_TRUE(window->load());
    const QString avery = QStringLiteral("A4 3x7 63,5x38,1");
    frmOPT w(*context);
    auto* picker = w.sheetPicker;
    EXPECT_EQ(picker->selected().name, SheetFormat::standard().name);
    picker->txtCerca->setText("avery l7160");
    ASSERT_GE(picker->lstFormati->count(), 1);
    EXPECT_EQ(picker->lstFormati->item(0)->text(), avery);
    picker->lstFormati->setCurrentRow(0);
    EXPECT_EQ(picker->picFoglio->format().rows, 7);
    // A search that hides the choice does not drop it.
    picker->txtCerca->setText("nessun foglio si chiama cosi");
    EXPECT_EQ(picker->lstFormati->count(), 0);
    EXPECT_EQ(picker->selected().name, avery);
    w.cmdCancel->click();
    EXPECT_FALSE(settings->labelSheet().has_value());

    frmOPT chosen(*context);
    ASSERT_TRUE(chosen.sheetPicker->select(avery));
    chosen.cmdOK->click();
    EXPECT_EQ(chosen.result(), QDialog::Accepted);
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(SheetCatalog::current(velomar::settings::Settings()).name, avery);
    frmOPT again(*context);
    EXPECT_EQ(again.sheetPicker->selected().name, avery);
    ASSERT_NE(again.sheetPicker->lstFormati->currentItem(), nullptr);
    EXPECT_EQ(again.sheetPicker->lstFormati->currentItem()->text(), avery);

    // Seven rows of three: the last box is row 7, column 3, and a click there starts there.
    velomar::printing::frmStampaSingola single(*context);
    single.show();
    auto* sheet = single.picFoglio;
    EXPECT_EQ(sheet->format().rows, 7);
    const QRectF last = sheet->labelRect(21);
    ASSERT_FALSE(last.isEmpty());
    EXPECT_GT(last.width(), last.height()); // 63.5 x 38.1 mm, drawn to scale
    QTest::mouseClick(sheet, Qt::LeftButton, {}, last.center().toPoint());
    EXPECT_EQ(single.startPosition(), (LabelPosition{7, 3}));
    EXPECT_TRUE(single.lblInizio->text().endsWith("Inizio: riga 7, colonna 3"))
        << single.lblInizio->text().toStdString();
    QTest::mouseClick(sheet, Qt::LeftButton, {}, sheet->labelRect(2).center().toPoint());
    EXPECT_EQ(single.startPosition(), (LabelPosition{1, 2}));
}

TEST_F(frmOPTTest, OverlappingCustomSheetIsRefusedWithTheReasonAndNothingIsStored) {
    ASSERT_TRUE(window->load());
    bool stayedOpen = false;
    QString shownProblem;
    // Fills the custom sheet dialog as 8 rows of 70 x 36 mm labels and confirms it.
    const auto enter = [&](frmOPT& window, int columns, double columnPitch, bool thenCancel) {
        QTimer::singleShot(0, [&, columns, columnPitch, thenCancel] {
            auto* d = qobject_cast<CustomSheetDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            d->txtColonne->setValue(columns);
            d->txtRighe->setValue(8);
            d->txtLarghezza->setValue(70);
            d->txtAltezza->setValue(36);
            d->txtSinistro->setValue(0);
            d->txtAlto->setValue(4.5);
            d->txtPassoOrizz->setValue(columnPitch);
            d->txtPassoVert->setValue(36);
            d->cmdOK->click();
            stayedOpen = d->isVisible();
            shownProblem = d->lblProblema->text();
            if (thenCancel)
                d->cmdCancel->click();
        });
        window.sheetPicker->cmdPersonalizzato_Click();
    };

    frmOPT w(*context);
    w.show();
    enter(w, 3, 65, true); // 70 mm labels every 65 mm
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(dialogs.lastMessage().contains("sovrappongono"))
        << dialogs.lastMessage().toStdString();
    EXPECT_EQ(shownProblem, dialogs.lastMessage());
    EXPECT_EQ(w.sheetPicker->selected().name, SheetFormat::standard().name);
    w.cmdOK->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_FALSE(SheetCatalog::custom(*settings).has_value());
    EXPECT_EQ(SheetCatalog::current(*settings).name, SheetFormat::standard().name);

    // The same sheet with room between the columns is taken and stored on confirm.
    dialogs.clear();
    frmOPT second(*context);
    second.show();
    w.hide();
    enter(second, 2, 100, false);
    EXPECT_FALSE(stayedOpen);
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(second.sheetPicker->selected().name, SheetCatalog::customName());
    EXPECT_EQ(second.sheetPicker->picFoglio->format().columns, 2);
    second.cmdOK->click();
    const auto stored = SheetCatalog::custom(*settings);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->columnPitch, 100);
    EXPECT_EQ(SheetCatalog::current(*settings).columns, 2);
}

TEST_F(frmOPTTest, QuotesInASenderLineAndAMissingCapTableAreRefusedAndCancelChangesNothing) {
    ASSERT_TRUE(window->load());
    const QByteArray before = fileBytes(state.setupIniPath);
    frmOPT w(*context);
    w.ctrOPT[11]->setChecked(true);
    w.txtMIT2[2]->setText("Ditta \"Il Faro\"");
    w.ctrOPT[10]->setChecked(true);
    w.cmdOK->click();
    EXPECT_NE(w.result(), QDialog::Accepted);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(dialogs.lastMessage().contains("virgolette"));

    w.txtMIT1[0]->setText("nuovo");
    w.cmdCancel->click();
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_EQ(state.options, Options());
    EXPECT_EQ(Settings().readOptions(), Options());
    EXPECT_EQ(state.senders.sender1[0], "");
    EXPECT_EQ(fileBytes(state.setupIniPath), before);

    // The CAP table: chosen by browsing, refused when missing, and none at all.
    const QString table = program.filePath("CAP.csv");
    ASSERT_TRUE(velomar::test::writeFile(table, "comune;provincia;cap\n"));
    frmOPT cap(*context);
    EXPECT_EQ(cap.txtTabellaCAP->text(), "");
    cap.txtTabellaCAP->setText(program.filePath("manca.csv"));
    cap.cmdOK->click();
    EXPECT_EQ(dialogs.lastMessage(),
              "La tabella dei CAP " + program.filePath("manca.csv") + " non esiste.");
    EXPECT_EQ(settings->capTable(), std::nullopt);
    dialogs.answerFile(table);
    cap.cmdSfogliaCAP->click();
    cap.cmdOK->click();
    EXPECT_EQ(settings->capTable(), table);
    frmOPT again(*context);
    EXPECT_EQ(again.txtTabellaCAP->text(), table);
    again.cmdNessunaCAP->click();
    again.cmdOK->click();
    EXPECT_EQ(settings->capTable(), QString(""));
}
