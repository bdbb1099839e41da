#include "printing/ui/PrintWindows.h"

#include "addresses/ui/frmEDIT.h"
#include "archive/ui/frmProprietaGr.h"
#include "settings/ui/WindowPlacement.h"
#include "groups/ui/frmGRUPPI.h"
#include "printing/PrinterSelection.h"
#include "printing/ui/QtPrinter.h"
#include "printing/ui/frmImpostaStampante.h"
#include "printing/ui/frmStampaSingola.h"
#include "printing/ui/frmStampaTipogr.h"
#include "common/AppContext.h"

#include <QPointer>

namespace velomar::printing {

std::unique_ptr<PrinterSelection> PrintWindows::systemPrinters() {
    auto selection = std::make_unique<PrinterSelection>();
    selection->addProvider(std::make_unique<QtPrinterProvider>());
    selection->addProvider(std::make_unique<PdfPrinterProvider>());
    return selection;
}

void PrintWindows::installLabelButtons(addresses::frmEDIT& grid, common::AppContext& context) {
    addresses::frmEDIT* g = &grid;
    grid.setPrintAction(addresses::frmEDIT::PrintButton::EtichetteSingole,
                        [&context, g] { openSingleLabels(context, g); });
    grid.setPrintAction(addresses::frmEDIT::PrintButton::EtichettePerGruppo,
                        [&context, g] { openPrintShop(context, g); });
}

namespace {
// The grid steps aside while window is open and comes back on its current record.
void takeGridPlace(QWidget* window, addresses::frmEDIT* grid) {
    if (!grid || !grid->isVisible())
        return;
    grid->hideForWindow();
    QPointer<addresses::frmEDIT> guard(grid);
    QObject::connect(window, &QObject::destroyed, grid, [guard] {
        if (guard)
            guard->showAgain();
    });
}
} // namespace

void PrintWindows::openSingleLabels(common::AppContext& context, addresses::frmEDIT* grid) {
    auto* window = new frmStampaSingola(context);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!window->load()) {
        delete window;
        return;
    }
    takeGridPlace(window, grid);
    settings::ui::WindowPlacement::apply(window, context.settings);
    window->show();
}

void PrintWindows::openPrintShop(common::AppContext& context, QWidget* parent) {
    frmStampaTipogr window(context, parent);
    window.exec();
}

void PrintWindows::openGroups(common::AppContext& context, addresses::frmEDIT* grid) {
    auto* window = new groups::frmGRUPPI(context);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!window->load()) {
        delete window;
        return;
    }
    // "Proprietà / Defrag": a compaction that leaves the groups archive closed ends the window.
    window->setPropertiesAction([&context, window] {
        if (!archive::ui::frmProprietaGr::showModal(context, window->count(), window))
            window->close();
    });
    takeGridPlace(window, grid);
    settings::ui::WindowPlacement::apply(window, context.settings);
    window->show();
}

void PrintWindows::openPrinterSelection(common::AppContext& context, QWidget* parent) {
    frmImpostaStampante window(context.printers, parent);
    window.exec();
}

} // namespace velomar::printing
