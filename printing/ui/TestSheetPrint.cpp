#include "printing/ui/TestSheetPrint.h"

#include "common/DialogService.h"
#include "printing/PrintFailure.h"
#include "printing/PrinterSelection.h"
#include "printing/TestSheet.h"
#include "settings/Settings.h"

#include <QApplication>

namespace velomar::printing::ui {

bool TestSheetPrint::run(PrinterSelection& printers, common::DialogService& dialogs, const SheetFormat& sheet) {
    const QString text = QStringLiteral("Stampante: %1\r\nFoglio di prova del formato %2, su carta comune.\r\n"
                                        "Premere 'OK' per avviare la stampa o 'Annulla' per rinunciare.")
                             .arg(printers.currentName(), sheet.name);
    if (dialogs.message(text, common::MsgIcon::Information, common::MsgButtons::OkCancel) != common::MsgResult::Ok)
        return false;
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        TestSheet(sheet, LabelOptions::from(settings::Settings().readOptions())).printJob(printers, dialogs);
        QApplication::restoreOverrideCursor();
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        dialogs.critical(printFailureText(e));
        return false;
    }
    dialogs.info(QStringLiteral("Stampa terminata."));
    return true;
}

} // namespace velomar::printing::ui
