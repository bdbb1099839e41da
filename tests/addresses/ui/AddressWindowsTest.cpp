#include "GridFixture.h"
#include "support/CommandRun.h"

#include "addresses/ui/AddressWindows.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

using namespace velomar;

using Windows = test::GridFixture;

TEST_F(Windows, GridLivesInTheMainWindowUntilTheArchiveIsClosed) {
    state.currentArchivePath = path =
        test::makeArchive(dir.filePath("Indirizzi.mdb"), test::generatedAddresses(8));
    QMainWindow main;
    auto* mdi = new QMdiArea(&main);
    main.setCentralWidget(mdi);
    main.resize(1200, 800);
    main.show();
    std::map<int, QString> panels;
    bool openCommands = true;
    int noArchive = 0;
    addresses::AddressWindows windows(
        *ctx, {&main, mdi, [&](int p, const QString& t) { panels[p] = t; },
               [&](bool on) { openCommands = on; }, [&] { ++noArchive; },
               // The shell links the print buttons to their windows.
               [](addresses::frmEDIT& g) {
                   g.setPrintAction(addresses::frmEDIT::PrintButton::Lista, [] {});
               }});
    ASSERT_TRUE(windows.showGrid());
    EXPECT_FALSE(openCommands);
    EXPECT_EQ(panels[3], "1/8");
    EXPECT_EQ(panels[5], "Ord. Cognome");
    ASSERT_EQ(mdi->subWindowList().size(), 1);
    EXPECT_TRUE(windows.grid()->controls().cmdStampaLista->isEnabled());

    // Rows written by another connection (an import) show after the reload.
    {
        archive::Database other(path, archive::Database::Mode::ReadWrite);
        test::insertAddress(other, {{"COGNOME", "Importato"}});
    }
    windows.reloadAfterImport();
    EXPECT_EQ(state.archiveCount, 9);
    EXPECT_EQ(panels[3], "1/9");

    // The card view hides the grid's frame and brings it back.
    windows.mnuSchedario_Click();
    EXPECT_FALSE(mdi->subWindowList().front()->isVisible());
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmSchedario")
            w->close();
    EXPECT_TRUE(mdi->subWindowList().front()->isVisible());

    windows.mnuChiudiArchivio_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(openCommands);
    EXPECT_EQ(noArchive, 1);
    EXPECT_FALSE(session.mainRs.isOpen());
    EXPECT_EQ(panels[3], "");
    EXPECT_TRUE(mdi->subWindowList().isEmpty());
    EXPECT_EQ(windows.grid(), nullptr);

    // A file that is not an archive: the open routine's message, no grid.
    state.currentArchivePath = dir.filePath("rotto.mdb");
    ASSERT_TRUE(test::writeFile(state.currentArchivePath, "not an archive"));
    EXPECT_FALSE(windows.showGrid());
    EXPECT_EQ(dialogs.lastMessage(), "Archivio non riconosciuto o corrotto !");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(mdi->subWindowList().isEmpty());
}
