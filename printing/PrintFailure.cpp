#include "printing/PrintFailure.h"

#include "archive/FailureText.h"
#include "common/AppError.h"
#include "common/OutputGuard.h"
#include "printing/PrinterError.h"

namespace velomar::printing {

QString printFailureText(int code, const QString& description) {
    switch (code) {
    case PrinterError::NoPrinter:
        return QStringLiteral("Errore sulla Stampante (mancante o non collegata) !");
    case PrinterError::Problem:
        return QStringLiteral("Problema sulla Stampante !");
    case PrinterError::Cancelled:
        return QStringLiteral("Stampa Annullata !");
    case PrinterError::FileNotWritten:
        return description; // names the file and why, in Italian
    default:
        return QStringLiteral("Errore %1\r\n%2").arg(code).arg(description);
    }
}

QString printFailureText(const std::exception& error) {
    // A refused output file is not a printer fault: its own text says it all.
    if (const auto* refused = dynamic_cast<const common::OutputRefused*>(&error))
        return refused->description();
    // Only a printer's own failure is told by its number; the archive's (read half way
    // through a job) by its cause.
    if (const auto* printer = dynamic_cast<const PrinterError*>(&error))
        return printFailureText(printer->code(), printer->description());
    return archive::FailureText::of(error);
}

} // namespace velomar::printing
