#pragma once

#include <QtGlobal>
#include <memory>
#include <vector>

class QWidget;

namespace velomar::common {
struct AppContext;
}

namespace velomar::printing {

class PrinterSelection;

// Entry points of the printing windows for the main window and the address grid's links.
class PrintWindows {
public:
    // The printer list of the running program: the CUPS printers (system default first
    // chosen), then the built-in PDF printer.
    static std::unique_ptr<PrinterSelection> systemPrinters();

    static void openPrintShop(common::AppContext& context, QWidget* parent);
    // "Spedizione in blocco"; selection: the NRs selected in the grid.
    static void openBulkMailing(common::AppContext& context, std::vector<qint64> selection, QWidget* parent);
    // mnuSetPrn
    static void openPrinterSelection(common::AppContext& context, QWidget* parent);
};

} // namespace velomar::printing
