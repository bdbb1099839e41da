#pragma once

#include "printing/Printer.h"
#include "printing/SheetFormat.h"
#include "printing/StampaEtichette.h"

#include <QDate>
#include <QString>

namespace velomar::common {
class DialogService;
}

namespace velomar::printing {

class PrinterSelection;

// "Foglio di prova": one sheet for plain paper with the outline of every label, a cross
// where each label's text starts, millimetre rulers along the top and left edges and
// through the middle, and the printer's name and the date. Held against a sheet of labels
// to the light, it shows how far off the printer is.
class TestSheet {
public:
    static constexpr double LineWidthMm = 0.15;
    static constexpr double CrossArmMm = 2.5;

    // The label offsets of the options move the crosses as they move the text.
    TestSheet(SheetFormat sheet, LabelOptions options = {});

    // Draws the sheet as one document. printerName and calibration describe the printer
    // in the heading; the printer given must already apply the calibration.
    void print(Printer& printer, const QString& printerName, const QString& calibrationText,
               const QDate& date) const;

    // The windows' "Foglio di prova": the sheet on the current printer, its calibration
    // applied. Throws what the printer throws (PrinterError(Cancelled) when the PDF file
    // name is refused).
    void printJob(PrinterSelection& printers, common::DialogService& dialogs) const;

    // Where the cross of a label is, in the printer's printable-area coordinates.
    QPointF crossAt(LabelPosition p) const;
    // The heading: "Foglio di prova - <printer> - <date> - <sheet>".
    static QString heading(const QString& printerName, const QDate& date, const QString& sheetName);

private:
    void rulers(Printer& printer, QSizeF paper, QPointF origin) const;

    SheetFormat m_sheet;
    LabelOptions m_options;
};

} // namespace velomar::printing
