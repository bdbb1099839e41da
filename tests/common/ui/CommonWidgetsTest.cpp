#include "common/Twips.h"
#include "common/ui/FormsWalk.h"
#include "common/ui/GridStyle.h"
#include "common/ui/QtDialogService.h"
#include "common/ui/frmAttesa.h"
#include "settings/Settings.h"
#include "settings/ui/WindowPlacement.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QTableWidget>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace velomar::common;
using namespace velomar::common::ui;

TEST(frmAttesa, ShowsCaptionMessageAndImageAtItsPlace) {
    auto wait = frmAttesa::showWait("Lettura Archivio in corso...", "kDRIVET");
    EXPECT_TRUE(wait->isVisible());
    EXPECT_EQ(wait->windowTitle(), "Attendere...");
    EXPECT_EQ(wait->lblAttesa->text(), "Lettura Archivio in corso...");
    EXPECT_FALSE(wait->imgAttesa->pixmap().isNull());
    EXPECT_EQ(wait->pos(), QPoint(Twips::toPixels(1000), Twips::toPixels(1500)));
    EXPECT_EQ(FormsWalk::count("FRMATTESA"), 1);
    wait.reset();
    EXPECT_EQ(FormsWalk::count("frmAttesa"), 0);
    EXPECT_EQ(FormsWalk::find("frmAttesa"), nullptr);
}

TEST(GridStyle, TheStandardColoursAndWhatTheFlagsChoose) {
    QTableWidget grid;
    GridStyle::apply(&grid, true, 17, true);
    EXPECT_EQ(grid.columnCount(), 17);
    EXPECT_EQ(grid.palette().color(QPalette::Base), QColor(192, 255, 255));
    EXPECT_EQ(grid.palette().color(QPalette::Highlight), QColor(255, 192, 128));
    EXPECT_EQ(grid.palette().color(QPalette::HighlightedText), QColor(Qt::black));
    EXPECT_EQ(grid.horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_EQ(grid.horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    GridStyle::apply(&grid, false, 0, false); // no count: the columns stay
    EXPECT_EQ(grid.columnCount(), 17);
    EXPECT_EQ(grid.horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_EQ(grid.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST(QtDialogService, FilterListsBecomeQtNameFilters) {
    EXPECT_EQ(QtDialogService::nameFilters("Archivio (*.mdb)|*.mdb|Tutti i file (*.*)|*.*|"),
              (QStringList{"Archivio (*.mdb)", "Tutti i file (*)"}));
    EXPECT_EQ(QtDialogService::nameFilters("Testo|*.txt;*.csv"),
              QStringList{"Testo (*.txt *.csv)"});
    EXPECT_TRUE(QtDialogService::nameFilters("").isEmpty());
    EXPECT_TRUE(QtDialogService::nameFilters("solo descrizione").isEmpty());
}

TEST(QtDialogService, BoxesBelongToTheWindowInUse) {
    QWidget main;
    main.show();
    QWidget card(&main, Qt::Window);
    card.show();
    QApplication::setActiveWindow(&card);
    QtDialogService dialogs(&main);
    QWidget* parentSeen = nullptr;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                parentSeen = box->parentWidget();
                box->accept();
            }
    });
    static_cast<DialogService&>(dialogs).message(QStringLiteral("Fine schedario !"),
                                                 MsgIcon::Information);
    EXPECT_EQ(parentSeen, &card);
}

TEST(WindowPlacement, CentredOverTheMainWindowFirstThenWhereTheUserLeftIt) {
    QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear();
    velomar::settings::Settings settings;
    QWidget main;
    main.setObjectName(QStringLiteral("frmMAIN"));
    main.setGeometry(100, 120, 800, 600);
    main.show();
    const auto placed = [&](const char* name) {
        auto w = std::make_unique<QWidget>(&main, Qt::Window);
        w->setObjectName(QString::fromLatin1(name));
        w->resize(300, 200);
        velomar::settings::ui::WindowPlacement::apply(w.get(), settings);
        return w;
    };
    auto card = placed("frmSchedario");
    card->show();
    EXPECT_EQ(card->geometry().center(), main.geometry().center());
    card->setGeometry(40, 50, 320, 210);
    card->close();
    EXPECT_EQ(settings.windowGeometry(QStringLiteral("frmSchedario")), QRect(40, 50, 320, 210));
    EXPECT_EQ(placed("frmSchedario")->geometry(), QRect(40, 50, 320, 210));
    // A place off every screen is pulled back into view; nonsense is ignored.
    settings.setWindowGeometry(QStringLiteral("frmRiepiloghi"), QRect(-9000, -9000, 300, 200));
    auto lost = placed("frmRiepiloghi");
    EXPECT_TRUE(lost->screen()->availableGeometry().intersects(lost->geometry()));
    QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar"))
        .setValue("Finestre/frmGRUPPI", "a,b");
    EXPECT_FALSE(settings.windowGeometry(QStringLiteral("frmGRUPPI")).has_value());
    QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear();
}
