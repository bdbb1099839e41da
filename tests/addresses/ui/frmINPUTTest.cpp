#include "GridFixture.h"

#include "addresses/ui/PlaceCompleter.h"
#include "support/CommandRun.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace velomar;
using addresses::EntryBuffer;
using addresses::frmINPUT;
using EntryForm = test::GridFixture;

TEST_F(EntryForm, BoxesFilterTypingAndKeepOlderLongTexts) {
    EntryBuffer buffer;
    buffer.mode = EntryBuffer::ModeModify;
    buffer.fields[0] = "7";
    buffer.fields[2] = QString(40, u'c'); // written by an older program: longer than 35
    buffer.fields[7] = "Forlì";
    buffer.fields[9] = "ch";
    frmINPUT form(*ctx, buffer, [](const QString& code) {
        return code.compare("CH", Qt::CaseInsensitive) == 0 ? QStringLiteral("SVIZZERA") : QString();
    });
    form.show();
    QApplication::setActiveWindow(&form);
    EXPECT_TRUE(form.findChild<QPushButton*>("cmdRip")->isHidden());

    form.box(7)->setFocus();
    QTest::keyClick(form.box(7), Qt::Key_End);
    typeText(form.box(7), " è÷");
    EXPECT_TRUE(form.fieldText(7).endsWith(QStringLiteral(" È÷"))); // letters only, while typing
    form.box(9)->setFocus();
    EXPECT_EQ(form.fieldText(7), QStringLiteral("FORLÌ È÷"));
    form.box(10)->setFocus(); // a stored code the user did not touch stays as it is
    EXPECT_EQ(form.fieldText(9), "ch");
    retype(form.box(9), "ch");
    form.box(10)->setFocus(); // leaving NAZ looks a typed code up
    EXPECT_EQ(form.fieldText(9), "SVIZZERA");

    // A long paste is cut at the box's length; a line break becomes a blank.
    auto* title = static_cast<QLineEdit*>(form.box(1));
    title->setFocus();
    QApplication::clipboard()->setText("Dott.\r\nIng. " + QString(60, u'x'));
    QTest::keyClick(title, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form.fieldText(1), ("Dott. Ing. " + QString(60, u'x')).left(35));
    // The older, longer surname may shrink but never grows.
    form.box(2)->setFocus();
    QTest::keyClick(form.box(2), Qt::Key_End);
    QTest::keyClicks(form.box(2), "zz");
    EXPECT_EQ(form.fieldText(2), QString(40, u'c'));

    // The @ button appends to the e-mail address, lower-cased on leaving.
    form.setFieldText(13, "Mario.Rossi");
    form.findChild<QPushButton*>("Command1")->click();
    EXPECT_TRUE(form.fieldText(13).endsWith("@"));
    EXPECT_TRUE(form.box(13)->hasFocus());
    form.box(1)->setFocus();
    EXPECT_EQ(form.fieldText(13), "mario.rossi@");

    form.cmdConferma_Click();
    EXPECT_EQ(buffer.mode, EntryBuffer::ModeModify);
    EXPECT_EQ(buffer.fields[2].size(), 40);
    EXPECT_EQ(buffer.fields[9], "SVIZZERA");
}

TEST_F(EntryForm, PlacesAreOfferedWhileTypingAndTheMarkSaysWhyTheyDisagree) {
    // A CAP table in the program folder lets the CAP offer its comuni.
    const QString table = dir.filePath("CAP.csv");
    ASSERT_TRUE(test::writeFile(
        table,
        "comune;provincia;cap\nCantù;CO;22063\nCarimate;CO;22060\nFigino Serenza;CO;22060\n"));
    settings.setCapTable(table);
    EntryBuffer buffer;
    buffer.mode = EntryBuffer::ModeNew;
    frmINPUT form(*ctx, buffer, nullptr);
    form.show();
    QApplication::setActiveWindow(&form);
    auto* cap = static_cast<QLineEdit*>(form.box(6));
    auto* citta = static_cast<QLineEdit*>(form.box(7));
    auto* prov = static_cast<QLineEdit*>(form.box(8));

    citta->setFocus();
    typeText(citta, "cantu");
    EXPECT_EQ(form.fieldText(7), "CANTU"); // nothing replaced without a choice
    ASSERT_FALSE(form.places()->offered(citta).isEmpty());
    EXPECT_EQ(form.places()->offered(citta).first(), "CANTÙ (CO) 22063");
    EXPECT_EQ(form.placeMark()->text(), "⚠");
    EXPECT_TRUE(form.placeMark()->toolTip().contains("provincia mancante"));
    form.places()->choose(citta, 0);
    EXPECT_EQ(texts(form, {6, 7, 8}), QStringList({"22063", "CANTÙ", "CO"}));
    EXPECT_EQ(form.placeMark()->text(), "");

    form.setFieldText(7, "");
    form.setFieldText(8, "");
    retype(cap, "22060");
    EXPECT_EQ(form.places()->offered(cap), (QStringList{"CARIMATE (CO)", "FIGINO SERENZA (CO)"}));
    form.places()->choose(cap, 1);
    EXPECT_EQ(texts(form, {6, 7}), QStringList({"22060", "FIGINO SERENZA"}));

    retype(prov, "fo");
    EXPECT_TRUE(form.places()->offered(prov).contains("FC Forlì-Cesena"));
    EXPECT_EQ(form.placeMark()->text(), "⚠"); // FO: no longer a province code
    // Written out, the province becomes its code on leaving the box; other text stays.
    prov->selectAll();
    typeText(prov, "forlì-cesena");
    EXPECT_EQ(form.fieldText(8), "FORLÌ-CESENA");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // past the list, as a user would
    EXPECT_EQ(form.fieldText(8), "FC");
    retype(prov, "xyz");
    cap->setFocus();
    EXPECT_EQ(form.fieldText(8), "XYZ");
    EXPECT_TRUE(form.placeMark()->toolTip().contains("provincia sconosciuta"));
    // A comune since merged offers the one that took it over.
    retype(citta, "forno di zoldo");
    EXPECT_TRUE(form.places()->offered(citta).contains("VAL DI ZOLDO (BL)"));
    form.cmdEsci_Click();
}
