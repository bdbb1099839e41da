#include "../WindowFixture.h"
#include "addresses/ui/frmEDIT.h"
#include "shell/ui/ExchangeWindows.h"
#include "exchange/ui/frmESPORTA.h"
#include "exchange/ui/frmIMPORTA.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velomar;

TEST(ExchangeWindows, ExportGoesWithTheGridAndImportReloadsIt) {
    test::WindowFixture f(3);
    auto* grid = new addresses::frmEDIT(f.ctx());
    grid->setArchiveOpener([](common::AppContext&) {}); // the fixture opened it already
    ASSERT_TRUE(grid->load());
    QPointer<addresses::frmEDIT> alive(grid);

    // Import 2 addresses: the grid then shows 5 rows.
    const QString source = f.dir.filePath("origine.mdb");
    test::createTestArchive(source);
    test::fillArchive(source, {"Nuovo", "Nuovo"}, "");
    f.dialogs.answerMessage(common::MsgResult::Yes); // import
    f.dialogs.answerMessage(common::MsgResult::No);  // keep the source
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<exchange::ui::frmIMPORTA*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        w->txtFILE->setText(source);
        w->txtGRUPPO->setText("*"); // everything, the addresses without a group included
        w->cmdImporta_Click();
        w->cmdChiudi_Click();
    });
    shell::ui::ExchangeWindows::openImport(f.ctx(), grid, nullptr);
    EXPECT_EQ(f.state.archiveCount, 5);
    EXPECT_EQ(f.state.displayedCount, 5);
    EXPECT_EQ(f.session.mainRs.recordCount(), 5);
    EXPECT_EQ(f.dialogs.messages().front(), "Verranno importati 2 Indirizzi !\nContinuare ?");
    EXPECT_EQ(test::countIn(source), 2); // No kept the source

    shell::ui::ExchangeWindows::openExport(f.ctx(), grid, nullptr);
    QPointer<QWidget> exportWindow;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<exchange::ui::frmESPORTA*>(w))
            exportWindow = w;
    ASSERT_FALSE(exportWindow.isNull());
    grid->cmdChiudi_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(exportWindow.isNull()); // no window left reading a closed record set
}
