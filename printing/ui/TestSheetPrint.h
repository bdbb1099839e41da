#pragma once

#include "printing/SheetFormat.h"

namespace velomar::common {
class DialogService;
}

namespace velomar::printing {
class PrinterSelection;
}

namespace velomar::printing::ui {

// "Foglio di prova" of the windows: asks, prints the sheet of that format on the current
// printer with its calibration, and says how it went.
class TestSheetPrint {
public:
    // True when the sheet was printed.
    static bool run(PrinterSelection& printers, common::DialogService& dialogs, const SheetFormat& sheet);
};

} // namespace velomar::printing::ui
