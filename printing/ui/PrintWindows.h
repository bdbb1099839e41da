#pragma once

#include <memory>

class QWidget;

namespace velomar::addresses {
class frmEDIT;
}
namespace velomar::common {
struct AppContext;
}

namespace velomar::printing {

// Entry points for the main window and the address grid.
class PrinterSelection;

class PrintWindows {
public:
    // The printer list of the running program: the CUPS printers (system default first
    // chosen), then the built-in PDF printer.
    static std::unique_ptr<PrinterSelection> systemPrinters();

    // Gives the grid's "Stampa Etichette Singole" and "Stampa Etichette per Gruppo"
    // buttons their windows.
    static void installLabelButtons(addresses::frmEDIT& grid, common::AppContext& context);

    // Windows that take the grid's place hide it while they are open.
    static void openSingleLabels(common::AppContext& context, addresses::frmEDIT* grid);
    static void openPrintShop(common::AppContext& context, QWidget* parent);
    // mnuGruppi: the groups window; grid is the loaded address grid, if any.
    static void openGroups(common::AppContext& context, addresses::frmEDIT* grid);
    // mnuSetPrn
    static void openPrinterSelection(common::AppContext& context, QWidget* parent);
};

} // namespace velomar::printing
