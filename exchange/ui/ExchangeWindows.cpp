#include "exchange/ui/ExchangeWindows.h"

#include "addresses/ui/frmEDIT.h"
#include "archive/Session.h"
#include "settings/AppState.h"
#include "exchange/ui/frmESPORTA.h"
#include "exchange/ui/frmIMPORTA.h"
#include "exchange/ui/frmIMPORTAFILE.h"
#include "printing/ui/ListPrinterWindows.h"
#include "common/AppContext.h"

namespace velomar::exchange::ui {

void ExchangeWindows::openExport(common::AppContext& context, addresses::frmEDIT* grid,
                                 QWidget* parent) {
    auto* window = new frmESPORTA(context, printing::ui::ListPrinterWindows::gridAccess(grid), parent);
    if (grid)
        QObject::connect(grid, &addresses::frmEDIT::archiveClosed, window, &frmESPORTA::gridUnloaded);
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
        frmIMPORTA window(context, parent);
        window.exec();
    }
    refreshGrid(context, grid, before);
}

void ExchangeWindows::openFileImport(common::AppContext& context, addresses::frmEDIT* grid,
                                     QWidget* parent, const QString& path) {
    const qint64 before = context.state.archiveCount;
    {
        frmIMPORTAFILE window(context, openSource, parent);
        if (!path.isEmpty())
            window.loadSource(path);
        window.exec();
    }
    refreshGrid(context, grid, before);
}

} // namespace velomar::exchange::ui
