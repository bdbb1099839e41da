#pragma once

#include "printing/PrinterSelection.h"

namespace velomar::printing {

// The system's printers as CUPS lists them (lpstat), for the batch commands that name a
// printer without a window: they check the name and take its calibration, and print to a
// PDF file only. Same provider id as the windows' system printers, so names match.
class CupsDestinations : public PrinterProvider {
public:
    QString id() const override { return QStringLiteral("system"); }
    std::vector<PrinterEntry> printers() const override;
    // Throws PrinterError(NoPrinter): the batch commands draw PDF files only.
    std::unique_ptr<Printer> create(const PrinterEntry& entry, common::DialogService& dialogs) override;

    // "lpstat -e" and "lpstat -d" output to entries (the default flagged).
    static std::vector<PrinterEntry> parse(const QString& destinations, const QString& defaultLine);
};

} // namespace velomar::printing
