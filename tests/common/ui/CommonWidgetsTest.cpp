#include "common/Twips.h"
#include "common/ui/FormsWalk.h"
#include "common/ui/GridStyle.h"
#include "common/ui/QtDialogService.h"
#include "common/ui/frmAttesa.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <gtest/gtest.h>

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

TEST(GridStyle, AppliesTheStandardLook) {
    QTableWidget grid;
    GridStyle::apply(&grid, true, 17, true);
    EXPECT_EQ(grid.columnCount(), 17);
    EXPECT_EQ(grid.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_FALSE(grid.verticalHeader()->isVisible());
    EXPECT_EQ(grid.horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_EQ(grid.palette().color(QPalette::Base), QColor(192, 255, 255));
    EXPECT_EQ(grid.palette().color(QPalette::Highlight), QColor(255, 192, 128));
    EXPECT_EQ(grid.palette().color(QPalette::HighlightedText), QColor(Qt::black));
    EXPECT_EQ(grid.horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);

    GridStyle::apply(&grid, false, 0, false);
    EXPECT_EQ(grid.columnCount(), 17);
    EXPECT_EQ(grid.horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_EQ(grid.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST(QtDialogService, FilterListsBecomeQtNameFilters) {
    EXPECT_EQ(QtDialogService::nameFilters("Archivio (*.mdb)|*.mdb|Tutti i file (*.*)|*.*|"),
              (QStringList{"Archivio (*.mdb)", "Tutti i file (*)"}));
    EXPECT_EQ(QtDialogService::nameFilters("Testo|*.txt;*.csv"), QStringList{"Testo (*.txt *.csv)"});
    EXPECT_TRUE(QtDialogService::nameFilters("").isEmpty());
    EXPECT_TRUE(QtDialogService::nameFilters("solo descrizione").isEmpty());
}
