#include "printing/ui/PrintWindows.h"

#include "printing/PrinterSelection.h"
#include "printing/ui/QtPrinter.h"
#include "printing/ui/frmImpostaStampante.h"
#include "printing/ui/frmSpedizioneBlocco.h"
#include "printing/ui/frmStampaTipogr.h"
#include "common/AppContext.h"

namespace velomar::printing {

std::unique_ptr<PrinterSelection> PrintWindows::systemPrinters() {
    auto selection = std::make_unique<PrinterSelection>();
    selection->addProvider(std::make_unique<QtPrinterProvider>());
    selection->addProvider(std::make_unique<PdfPrinterProvider>());
    return selection;
}

void PrintWindows::openPrintShop(common::AppContext& context, QWidget* parent) {
    frmStampaTipogr window(context, parent);
    window.exec();
}

void PrintWindows::openBulkMailing(common::AppContext& context, std::vector<qint64> selection, QWidget* parent) {
    frmSpedizioneBlocco window(context, std::move(selection), parent);
    window.exec();
}

void PrintWindows::openPrinterSelection(common::AppContext& context, QWidget* parent) {
    frmImpostaStampante window(context.printers, context.dialogs, parent);
    window.exec();
}

} // namespace velomar::printing
