#include "common/ui/GridStyle.h"

#include "common/Twips.h"

#include <QHeaderView>
#include <QPalette>
#include <QTableWidget>

namespace velomar::common::ui {

namespace {
const QColor kHeaderBack(200, 100, 0);    // 0x0064C8 as blue-green-red
const QColor kCellBack(192, 255, 255);    // 0xFFFFC0
const QColor kSelectionBack(255, 192, 128); // 0x80C0FF
} // namespace

void GridStyle::apply(QTableView* grid, bool scrollBars, int columnCount, bool userResizing) {
    if (!grid)
        return;
    if (auto* table = qobject_cast<QTableWidget*>(grid); table && columnCount > 0)
        table->setColumnCount(columnCount);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    const Qt::ScrollBarPolicy policy = scrollBars ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    grid->setHorizontalScrollBarPolicy(policy);
    grid->setVerticalScrollBarPolicy(policy);
    grid->verticalHeader()->hide(); // no fixed column

    QHeaderView* header = grid->horizontalHeader();
    header->setFixedHeight(Twips::toPixels(250) + 4);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(userResizing ? QHeaderView::Interactive : QHeaderView::Fixed);
    header->setHighlightSections(false);
    header->setStyleSheet(QStringLiteral(
        "QHeaderView::section { background-color: %1; color: black; padding: 0 4px;"
        " border: 0; border-right: 1px solid %2; border-bottom: 1px solid %2; }")
                              .arg(kHeaderBack.name(), kHeaderBack.darker(130).name()));

    QPalette p = grid->palette();
    p.setColor(QPalette::Base, kCellBack);
    p.setColor(QPalette::AlternateBase, kCellBack);
    p.setColor(QPalette::Text, grid->palette().color(QPalette::WindowText));
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Highlight, kSelectionBack);
        p.setColor(group, QPalette::HighlightedText, Qt::black);
    }
    grid->setPalette(p);
    grid->setAlternatingRowColors(false);
}

} // namespace velomar::common::ui
