#include "../../exchange/WindowFixture.h"
#include "support/PrintContext.h"

#include "printing/SheetCatalog.h"
#include "printing/ui/PreviewWindow.h"
#include "printing/ui/frmRiepiloghi.h"
#include "printing/ui/frmStampaLista.h"
#include "printing/ui/frmStampaSingola.h"
#include "printing/ui/frmStampaTipogr.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;

namespace {

// Millimetres from the left paper edge to the first ink of a page.
double firstInkMm(const QImage& page, double dpi) {
    for (int x = 0; x < page.width(); ++x)
        for (int y = 0; y < page.height(); ++y)
            if (qGray(page.pixel(x, y)) < 128)
                return x * 25.4 / dpi;
    return -1;
}

// 60 addresses of group AA and one of BB: three sheets of 24 labels.
struct Context : test::PrintContext {
    Context() {
        for (int i = 0; i < 61; ++i)
            add(QStringLiteral("COGNOME%1").arg(i, 2, 10, QChar('0')), QStringLiteral("ANNA"),
                QString::number(10100 + i), i < 60 ? "AA" : "BB");
    }
};

// Clicks a window's preview button, the last preview gone, and waits for the one it opens.
template <class W> PreviewWindow* openPreview(W& w, void (W::*click)() = &W::cmdAnteprima_Click) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    (w.*click)();
    auto* p = w.template findChild<PreviewWindow*>();
    if (p && QTest::qWaitForWindowExposed(p)) {
        p->activateWindow();
        (void)QTest::qWaitForWindowActive(p);
    }
    return p;
}

} // namespace

TEST(PreviewWindow, OpensOnFirstPageNavigatesAndClosesWithoutPrinting) {
    Context c;
    frmStampaTipogr w(c.ctx);
    w.show();
    w.txtGRUPPO->setText("AA");
    PreviewWindow* p = openPreview(w);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(c.dialogs.messages().empty()); // no confirmation, no file name asked
    EXPECT_EQ(p->pageCount(), 3);
    EXPECT_EQ(p->currentPage(), 1);
    EXPECT_EQ(p->txtPagina->value(), 1);
    EXPECT_EQ(p->lblPagina->text(), "di 3");
    EXPECT_FALSE(p->shownImage().isNull());
    EXPECT_FALSE(p->cmdPrecedente->isEnabled());

    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : p;
    // Page Down at the last page and Page Up at the first stay where they are.
    for (const auto& [key, page] : {std::pair{Qt::Key_PageDown, 2},
                                    {Qt::Key_End, 3},
                                    {Qt::Key_PageDown, 3},
                                    {Qt::Key_Home, 1},
                                    {Qt::Key_PageUp, 1}}) {
        QTest::keyClick(focus, key);
        EXPECT_EQ(p->currentPage(), page) << key;
        EXPECT_EQ(p->cmdSuccessiva->isEnabled(), page < 3);
    }
    p->txtPagina->setValue(2); // the page number box
    EXPECT_EQ(p->currentPage(), 2);
    EXPECT_EQ(p->windowTitle(), "Anteprima di stampa - Pagina 2 di 3");

    const double dpi = p->dpi();
    QTest::keyClick(focus, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_GT(p->dpi(), dpi);
    QTest::keyClick(focus, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_NEAR(p->dpi(), dpi, 0.01);
    p->fitPageWidth();
    EXPECT_GT(p->dpi(), dpi); // an A4 page is taller than wide

    // The outlines change what is shown only.
    const QImage plain = p->shownImage();
    ASSERT_TRUE(p->chkContorni->isVisible());
    p->chkContorni->setChecked(true);
    EXPECT_NE(p->shownImage(), plain);
    p->fitWholePage();

    QPointer<PreviewWindow> closed = p;
    p->cmdChiudi->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull()); // the pages go with the window
    EXPECT_TRUE(c.events.empty());
    EXPECT_TRUE(QDir(c.state.stampeTipDir).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(c.dialogs.messages().empty());

    // "Stampa" runs the real job with its confirmations.
    c.dialogs.answerInput(QStringLiteral("gruppo-aa"));
    ASSERT_NE(p = openPreview(w), nullptr);
    p->cmdStampa->click();
    EXPECT_TRUE(QFile::exists(c.state.stampeTipDir + "/gruppo-aa.txt"));
    EXPECT_EQ(c.dialogs.lastMessage(), "Stampa terminata.");
    EXPECT_FALSE(c.events.empty());

    // Single labels follow the chosen sheet and printer and mark nothing.
    c.events.clear();
    c.dialogs.clear();
    // Two columns of 99.1 mm from 4.65 mm, seven rows of 38.1 mm from 15.15 mm.
    const auto sheet = SheetCatalog().find(QStringLiteral("A4 2x7 99,1x38,1"));
    ASSERT_TRUE(sheet.has_value());
    SheetCatalog::setCurrent(c.settings, *sheet);
    const auto restore = qScopeGuard([] { QSettings("QZ", "Velomar").remove("Etichette"); });

    frmStampaSingola single(c.ctx);
    ASSERT_TRUE(single.load());
    single.show();
    for (int row = 0; row < 3; ++row) {
        single.GRIDch->selectRow(row);
        single.addCurrent();
    }
    single.Etx_Click(14); // the last label of 2 x 7: one label on the first sheet, two on the next
    EXPECT_EQ(single.startPosition(), (LabelPosition{7, 2}));
    ASSERT_NE(p = openPreview(single), nullptr);
    EXPECT_EQ(p->pageCount(), 2);
    const double pdfInk = firstInkMm(p->shownImage(), p->dpi());
    p->chkContorni->setChecked(true);
    const QImage page = p->shownImage();
    const double dpmm = p->dpi() / 25.4;
    // Outline pixels are bluish; text and paper are grey or white.
    const auto outlineAt = [&](double xMm, double yFromMm, double yToMm) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int y = int(yFromMm * dpmm); y < int(yToMm * dpmm); ++y) {
                const QColor px = page.pixelColor(int(xMm * dpmm) + dx, y);
                if (px.blue() - px.red() > 25)
                    return true;
            }
        return false;
    };
    EXPECT_TRUE(outlineAt(4.65, 20, 50));         // first column's left edge
    EXPECT_TRUE(outlineAt(4.65 + 101.6, 20, 50)); // second column's left edge
    EXPECT_FALSE(outlineAt(70, 20, 50));          // where the 3 x 8 sheet has one
    EXPECT_EQ(c.marked(), 0);
    EXPECT_TRUE(QDir(c.state.stampeSngDir).entryList(QDir::Files).isEmpty());
    p->cmdChiudi->click();
    EXPECT_TRUE(c.events.empty());
    EXPECT_EQ(c.marked(), 0);

    // Text lands where the chosen printer's printable area starts.
    c.provider->margins = QMarginsF(14, 14, 6, 6);
    ASSERT_NE(p = openPreview(single), nullptr);
    EXPECT_NEAR(firstInkMm(p->shownImage(), p->dpi()) - pdfInk, 14 - 25.4 / 6, 0.6);
    p->cmdChiudi->click();
    c.provider->margins.reset();

    // The envelope of the current address: one landscape page, nothing printed.
    single.GRIDch->selectRow(0);
    ASSERT_NE(p = openPreview(single, &frmStampaSingola::cmdAnteprimaBusta_Click), nullptr);
    EXPECT_EQ(p->pageCount(), 1);
    EXPECT_GT(p->shownImage().width(), p->shownImage().height());
    p->cmdChiudi->click();
    EXPECT_TRUE(c.events.empty());
    EXPECT_TRUE(c.dialogs.messages().empty());

    // An empty list says so and opens nothing.
    single.cmdCancella_Click();
    single.cmdAnteprima_Click();
    EXPECT_EQ(c.dialogs.lastMessage(), "Nessuna etichetta da stampare !");
}

TEST(PreviewWindow, ListAndSummaryRunTheirJobPageByPage) {
    test::WindowFixture f(200);
    f.settings.setFieldChoice(settings::Settings::FieldSection::StampaNF, 2, 1);
    printing::ui::frmStampaLista list(
        f.ctx(), {[] { return "Cognome"; }, [] { return qint64(1); }, [] { return qint64(1); }});
    list.show();
    for (auto* box : list.choices->ckCampo)
        box->setChecked(true);
    PreviewWindow* p = openPreview(list);
    ASSERT_NE(p, nullptr);
    EXPECT_GT(p->pageCount(), 1); // 200 addresses with every field
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : p, Qt::Key_End);
    EXPECT_EQ(p->currentPage(), p->pageCount());
    EXPECT_FALSE(p->shownImage().isNull());
    EXPECT_FALSE(p->chkContorni->isVisibleTo(p)); // no label sheet under a list
    p->cmdChiudi->click();
    EXPECT_TRUE(f.dialogs.messages().empty()); // no PDF name asked, nothing printed

    f.state.summaryTitle = QStringLiteral("Gruppo");
    f.state.summaryField = "GR";
    printing::ui::frmRiepiloghi summary(f.ctx());
    summary.show();
    ASSERT_NE(p = openPreview(summary), nullptr);
    EXPECT_EQ(p->pageCount(), 1);
    QTest::qWait(50);
    p->cmdChiudi->click();
    EXPECT_TRUE(f.dialogs.messages().empty());
    EXPECT_TRUE(summary.isVisible()); // neither the preview nor its closing closes the summary
    summary.close();
}
