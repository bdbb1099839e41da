#include "printing/PrintFailure.h"

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
    default:
        return QStringLiteral("Errore %1\r\n%2").arg(code).arg(description);
    }
}

QString printFailureText(const std::exception& error) {
    // A refused output file is not a printer fault: its own text says it all.
    if (const auto* refused = dynamic_cast<const common::OutputRefused*>(&error))
        return refused->description();
    if (const auto* app = dynamic_cast<const common::AppError*>(&error))
        return printFailureText(app->code(), app->description());
    return printFailureText(0, QString::fromLocal8Bit(error.what()));
}

} // namespace velomar::printing
