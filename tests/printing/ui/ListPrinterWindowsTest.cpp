#include "printing/ui/ListPrinterWindows.h"
#include "../../exchange/WindowFixture.h"
#include "printing/ui/frmRiepiloghi.h"
#include "printing/ui/frmStampaLista.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace velomar;
using printing::ui::frmRiepiloghi;
using printing::ui::frmStampaLista;
using Section = settings::Settings::FieldSection;

namespace {

archive::ui::ListPrinterGrid grid(qint64 top, qint64 count) {
    return {[] { return "Cognome"; }, [top] { return top; }, [count] { return count; }};
}

// Like a real message box, each box takes the activation to another window.
class BoxesTakeActivation : public test::ScriptedDialogs {
public:
    explicit BoxesTakeActivation(QWidget* thief) : m_thief(thief) {}
    common::MsgResult message(const QString& text, common::MsgIcon icon, common::MsgButtons buttons,
                              const QString& title, common::MsgResult defaultButton) override {
        QApplication::setActiveWindow(m_thief);
        return ScriptedDialogs::message(text, icon, buttons, title, defaultButton);
    }

private:
    QWidget* m_thief;
};

QList<frmRiepiloghi*> shownSummaries() {
    QList<frmRiepiloghi*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<frmRiepiloghi*>(w); s && s->isVisible())
            out << s;
    return out;
}

} // namespace

TEST(frmStampaLista, TotalLimitSettingsAndPrintingToPdf) {
    test::WindowFixture f(30);
    f.state.options.setValue(20, 1); // formatted list
    f.settings.setFieldChoice(Section::StampaF, 0, 1);
    f.settings.setFieldChoice(Section::StampaF, 2, 1);
    frmStampaLista w(f.ctx(), grid(3, 4));
    EXPECT_EQ(w.windowTitle(), "Stampa Lista Formattata");
    // The limit is what the PDF printer's landscape page holds in Courier 7, not 214.
    EXPECT_EQ(w.lblCar->text(), "41 su 194");
    EXPECT_TRUE(w.choices->OptInt[2]->isChecked()); // no Intervallo stored
    EXPECT_EQ(w.choices->OptInt[3]->text(), "Solo Selezione (Ord. Cognome)");
    EXPECT_EQ(w.choices->lblTotInd->text(), "30");
    w.choices->OptInt[3]->setChecked(true);
    EXPECT_EQ(w.choices->lblTotInd->text(), "4");
    EXPECT_FALSE(w.choices->ckCampo[15]->isVisibleTo(&w));

    // NOTE is hidden here but still counts: 41 + 171 = 212 does not fit.
    w.choices->ckCampo[15]->setChecked(true);
    EXPECT_EQ(w.lblCar->text(), "212 su 194");
    EXPECT_FALSE(w.cmdStampa->isEnabled());
    w.choices->ckCampo[15]->setChecked(false);
    // 41 + 4 * 36 + 6 + 3 = 194 fits exactly; NAZ more is refused.
    for (int field : {1, 3, 4, 5, 6, 14})
        w.choices->ckCampo[std::size_t(field)]->setChecked(true);
    EXPECT_EQ(w.lblCar->text(), "194 su 194");
    EXPECT_TRUE(w.cmdStampa->isEnabled());
    w.choices->ckCampo[9]->setChecked(true);
    EXPECT_EQ(w.lblCar->text(), "198 su 194");
    EXPECT_FALSE(w.cmdStampa->isEnabled());
    for (int field : {1, 3, 4, 5, 6, 9, 14})
        w.choices->ckCampo[std::size_t(field)]->setChecked(false);

    const QString pdf = f.dir.filePath("lista.pdf");
    f.dialogs.answerFile(pdf);
    w.cmdStampa_Click();
    EXPECT_EQ(f.dialogs.lastMessage(), "Stampa terminata.");
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(f.settings.rangeChoice(Section::StampaF), 3);
    EXPECT_EQ(f.settings.fieldChoice(Section::StampaF, 15), 0);
    EXPECT_FALSE(f.settings.rangeChoice(Section::StampaNF).has_value());

    // Cancelling the PDF name is the printer layer's "cancelled".
    f.dialogs.answerFile(std::nullopt);
    w.cmdStampa_Click();
    EXPECT_EQ(f.dialogs.lastMessage(), "Stampa Annullata !");

    for (auto* box : w.choices->ckCampo)
        box->setChecked(false);
    w.cmdStampa_Click();
    EXPECT_EQ(f.dialogs.lastMessage(), "Selezionare almeno un Campo !");

    // Unformatted: no line limit, and no printer installed is said as such.
    f.state.options.setValue(20, 0);
    printing::PrinterSelection none;
    auto bare = f.contextWith(none);
    frmStampaLista plain(*bare, grid(1, 1));
    EXPECT_EQ(plain.windowTitle(), "Stampa Lista non Formattata");
    EXPECT_FALSE(plain.lblCar->isVisibleTo(&plain));
    for (auto* box : plain.choices->ckCampo)
        box->setChecked(true);
    EXPECT_TRUE(plain.cmdStampa->isEnabled());
    plain.cmdStampa_Click();
    EXPECT_EQ(f.dialogs.lastMessage(), "Errore sulla Stampante (mancante o non collegata) !");

    // The summary of the same archive: a third without a group, counts ordered both ways,
    // the print question; opened from the main window it closes when left and stays alone.
    f.state.summaryTitle = QStringLiteral("Gruppo").leftJustified(11);
    f.state.summaryField = "GR";
    auto* summary = new frmRiepiloghi(f.ctx());
    EXPECT_EQ(summary->windowTitle(), "Riepilogo Indirizzi per Gruppo     ");
    ASSERT_EQ(summary->gGRID->rowCount(), 2);
    EXPECT_EQ(summary->gGRID->horizontalHeaderItem(0)->text(), "Gruppo     ");
    EXPECT_EQ(summary->gGRID->item(0, 0)->text(), "(non indicato)");
    EXPECT_EQ(summary->gGRID->item(0, 1)->text(), "10");
    EXPECT_EQ(summary->tag(), "1");
    summary->cmdSORT_Click();
    EXPECT_EQ(summary->tag(), "2");
    EXPECT_EQ(summary->gGRID->item(0, 1)->text(), "10");
    summary->cmdSORT_Click();
    EXPECT_EQ(summary->tag(), "1");

    f.dialogs.answerMessage(common::MsgResult::No);
    summary->cmdStampa_Click();
    EXPECT_EQ(f.dialogs.lastMessage(), "Stampante: File PDF\nStampare il riepilogo ?");
    summary->close();

    QWidget main;
    main.setObjectName(QStringLiteral("frmMAIN"));
    main.resize(800, 600);
    main.show();
    BoxesTakeActivation dialogs(&main);
    common::AppContext ctx{f.state, dialogs, f.settings, f.session, f.printers};
    printing::ui::ListPrinterWindows::openSummary(ctx, &main);
    ASSERT_EQ(shownSummaries().size(), 1);
    QPointer<frmRiepiloghi> opened = shownSummaries().front();
    QApplication::setActiveWindow(opened);
    dialogs.answerFile(f.dir.filePath("riepilogo2.pdf"));
    opened->cmdStampa_Click();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.lastMessage(), "Stampa completata.");
    EXPECT_TRUE(QFile::exists(f.dir.filePath("riepilogo2.pdf")));
    ASSERT_TRUE(opened && opened->isVisible()); // its own boxes do not close it
    EXPECT_EQ(QApplication::activeWindow(), opened.data());
    QApplication::setActiveWindow(&main);
    QCoreApplication::processEvents();
    EXPECT_TRUE(!opened || !opened->isVisible());

    // A second summary replaces one still open.
    printing::ui::ListPrinterWindows::openSummary(ctx, &main);
    printing::ui::ListPrinterWindows::openSummary(ctx, &main);
    EXPECT_EQ(shownSummaries().size(), 1);
    for (frmRiepiloghi* s : shownSummaries())
        s->close();
}
