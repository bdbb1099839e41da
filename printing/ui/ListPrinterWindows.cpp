#include "printing/ui/ListPrinterWindows.h"

#include "addresses/ui/frmEDIT.h"
#include "settings/ui/WindowPlacement.h"
#include "common/AppContext.h"
#include "printing/ui/ListPrinterChoices.h"
#include "printing/ui/frmRiepiloghi.h"
#include "printing/ui/frmStampaLista.h"

#include <QPointer>
#include <QApplication>

namespace velomar::printing::ui {

ListPrinterGrid ListPrinterWindows::gridAccess(addresses::frmEDIT* grid) {
    QPointer<addresses::frmEDIT> g(grid);
    return {[g] { return g ? g->sortText() : QString(); },
            [g] { return g ? g->selectionTopRow() : qint64(0); },
            [g] { return g ? g->selectionCount() : qint64(0); }};
}

void ListPrinterWindows::installListButton(addresses::frmEDIT& grid, common::AppContext& context) {
    addresses::frmEDIT* g = &grid;
    grid.setPrintAction(addresses::frmEDIT::PrintButton::Lista,
                        [&context, g] { openList(context, g); });
}

void ListPrinterWindows::openList(common::AppContext& context, addresses::frmEDIT* grid) {
    frmStampaLista window(context, gridAccess(grid), grid);
    window.exec();
}

void ListPrinterWindows::openSummary(common::AppContext& context, QWidget* parent) {
    // One summary at a time: a new one replaces the one still open.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* old = qobject_cast<frmRiepiloghi*>(w); old && old->isVisible())
            old->close();
    auto* window = new frmRiepiloghi(context, parent);
    settings::ui::WindowPlacement::apply(window, context.settings);
    window->show();
    window->activateWindow();
}

} // namespace velomar::printing::ui
