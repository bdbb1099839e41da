#include "shell/ui/ExchangeWindows.h"

#include "addresses/ui/frmEDIT.h"
#include "archive/Session.h"
#include "settings/AppState.h"
#include "exchange/ui/frmESPORTA.h"
#include "exchange/ui/frmIMPORTA.h"
#include "exchange/ui/frmIMPORTAFILE.h"
#include "shell/ui/GridWindows.h"
#include "archive/ui/ListPrinterChoices.h"
#include "common/AppContext.h"

namespace velomar::shell::ui {

void ExchangeWindows::openExport(common::AppContext& context, addresses::frmEDIT* grid,
                                 QWidget* parent) {
    auto* window = new exchange::ui::frmESPORTA(context, GridWindows::gridAccess(grid), parent);
    if (grid)
        QObject::connect(grid, &addresses::frmEDIT::archiveClosed, window, &exchange::ui::frmESPORTA::gridUnloaded);
    window->show();
}

namespace {

// After an import the grid shows the new addresses when the count changed, or goes back
// to its current row.
void refreshGrid(common::AppContext& context, addresses::frmEDIT* grid, qint64 before) {
    if (!grid || !context.session.mainRs.isOpen())
        return;
    if (context.state.archiveCount == before) {
        grid->GRIGLIA_EnterCell();
        return;
    }
    // The grid's snapshot lacks the new rows: load the table again, then the sort order.
    grid->reloadArchive();
    grid->cboORDINAMENTO_Click();
}

} // namespace

void ExchangeWindows::openImport(common::AppContext& context, addresses::frmEDIT* grid,
                                 QWidget* parent) {
    const qint64 before = context.state.archiveCount;
    {
        exchange::ui::frmIMPORTA window(context, parent);
        window.exec();
    }
    refreshGrid(context, grid, before);
}

qint64 ExchangeWindows::openFileImport(common::AppContext& context, addresses::frmEDIT* grid,
                                       QWidget* parent, const QString& path) {
    const qint64 before = context.state.archiveCount;
    qint64 suspects = 0;
    {
        exchange::ui::frmIMPORTAFILE window(context, exchange::openSource, parent);
        if (!path.isEmpty())
            window.loadSource(path);
        window.exec();
        if (window.lastSummary())
            suspects = window.lastSummary()->suspects;
    }
    refreshGrid(context, grid, before);
    return suspects;
}

} // namespace velomar::shell::ui
