#include "MainWindowFixture.h"

#include "settings/SetupIni.h"
#include "shell/ui/frmOPT.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using velomar::common::MsgIcon;
using velomar::settings::Options;
using velomar::settings::Settings;
using velomar::settings::SetupIni;
using velomar::shell::ui::frmOPT;

namespace {
QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class frmOPTTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(window->load());
    }
};

TEST_F(frmOPTTest, FreshInstallationShowsFirstEntriesAndDisabledSenders) {
    frmOPT w(*context);
    EXPECT_EQ(w.windowTitle(), "Opzioni Applicazione");
    for (int i = 1; i <= 20; ++i)
        EXPECT_FALSE(w.ctrOPT[size_t(i)]->isChecked()) << i;
    EXPECT_EQ(w.cboFloppy->currentText(), "1,44 Mb");
    EXPECT_EQ(w.cboDrive->currentText(), "a:");
    EXPECT_EQ(w.cboAlto->currentText(), "0 mm");
    EXPECT_EQ(w.cboSinistro->currentText(), "0 mm");
    EXPECT_EQ(w.cboAlto->count(), 11);
    EXPECT_TRUE(w.optBUSTA[0]->isChecked());
    EXPECT_TRUE(w.optMITTENTE[0]->isChecked());
    EXPECT_EQ(w.ctrOPT[13]->text(), "Font \"Lucida\" in Stampa Formattata");
    EXPECT_EQ(w.ctrOPT[12]->toolTip(),
              "Se selezionata, utilizza il Font 'Abadi MT Condensed' anzichè 'Arial Narrow' per "
              "stampare le etichette in formato molto stretto.");
    EXPECT_TRUE(w.ctrOPT[16]->toolTip().isEmpty());
    EXPECT_EQ(w.cmdOK->text(), "&Conferma");
    EXPECT_EQ(w.cmdCancel->text(), "&Annulla");

    // Sender rule follows check box 11 at once, both ways.
    EXPECT_FALSE(w.fraMittente->isEnabled());
    EXPECT_FALSE(w.txtMIT2[5]->isEnabled());
    w.show();
    w.ctrOPT[11]->click();
    EXPECT_TRUE(w.fraMittente->isEnabled());
    EXPECT_TRUE(w.optMITTENTE[1]->isEnabled());
    EXPECT_TRUE(w.txtMIT1[0]->isEnabled());
    w.ctrOPT[11]->click();
    EXPECT_FALSE(w.optMITTENTE[1]->isEnabled());
    EXPECT_FALSE(w.txtMIT1[0]->isEnabled());
}

TEST_F(frmOPTTest, ConfirmStoresMemoryStoreAndSetupIniAndTheWindowShowsThemAgain) {
    {
        frmOPT w(*context);
        w.ctrOPT[3]->setChecked(true);
        w.ctrOPT[11]->setChecked(true);
        w.ctrOPT[19]->setChecked(true);
        w.cboDrive->setCurrentIndex(1);
        w.cboFloppy->setCurrentIndex(1);
        w.cboAlto->setCurrentIndex(10);
        w.cboSinistro->setCurrentIndex(4);
        w.optBUSTA[1]->setChecked(true);
        w.optMITTENTE[1]->setChecked(true);
        w.txtMIT1[0]->setText("Parrocchia S. Maria");
        w.txtMIT1[1]->setText("Via Garibaldi, 3");
        w.txtMIT2[5]->setText(QString::fromUtf8("Città di Castello (PG)"));
        w.cmdOK->click();
        EXPECT_EQ(w.result(), QDialog::Accepted);
    }
    EXPECT_TRUE(dialogs.shown().empty());
    Options expected;
    for (auto [i, v] : {std::pair{3, 1}, {11, 1}, {19, 1}, {21, 1}, {22, 1}, {23, 10}, {24, 4},
                        {25, 1}, {26, 1}})
        expected.setValue(i, v);
    EXPECT_EQ(state.options, expected);
    EXPECT_EQ(Settings().readOptions(), expected);
    EXPECT_EQ(state.senders.sender2[5], QString::fromUtf8("Città di Castello (PG)"));
    EXPECT_EQ(SetupIni::read(state.setupIniPath).senders, state.senders);

    frmOPT again(*context);
    EXPECT_TRUE(again.ctrOPT[19]->isChecked());
    EXPECT_EQ(again.cboAlto->currentText(), "10 mm");
    EXPECT_EQ(again.cboSinistro->currentText(), "4 mm");
    EXPECT_TRUE(again.optBUSTA[1]->isChecked());
    EXPECT_TRUE(again.optMITTENTE[1]->isChecked());
    EXPECT_EQ(again.txtMIT1[1]->text(), "Via Garibaldi, 3");
    EXPECT_TRUE(again.txtMIT1[1]->isEnabled());
}

TEST_F(frmOPTTest, CancelChangesNothingAnywhere) {
    const QByteArray before = fileBytes(state.setupIniPath);
    frmOPT w(*context);
    w.ctrOPT[10]->setChecked(true);
    w.txtMIT1[0]->setText("nuovo");
    w.cmdCancel->click();
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_EQ(state.options, Options());
    EXPECT_EQ(Settings().readOptions(), Options());
    EXPECT_EQ(state.senders.sender1[0], "");
    EXPECT_EQ(fileBytes(state.setupIniPath), before);
}

TEST_F(frmOPTTest, QuotesInASenderLineAreRefusedAndNothingIsStored) {
    frmOPT w(*context);
    w.ctrOPT[11]->setChecked(true);
    w.txtMIT2[2]->setText("Ditta \"Il Faro\"");
    w.ctrOPT[10]->setChecked(true);
    w.cmdOK->click();
    EXPECT_NE(w.result(), QDialog::Accepted);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(dialogs.lastMessage().contains("virgolette"));
    EXPECT_EQ(state.options, Options());
    EXPECT_EQ(fileBytes(state.setupIniPath), QByteArray());

    w.txtMIT2[2]->setText("Ditta 'Il Faro'");
    w.cmdOK->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(SetupIni::read(state.setupIniPath).senders.sender2[2], "Ditta 'Il Faro'");
}
