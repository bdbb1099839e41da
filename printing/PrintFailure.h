#pragma once

#include <QString>
#include <exception>

namespace velomar::printing {

// The one text shown for a failed print job, whichever window ran it: 5 no printer,
// 482 a printer problem, 484 a cancelled job, 75 the file and why it could not be written,
// anything else "Errore N" and its description.
QString printFailureText(int code, const QString& description);
QString printFailureText(const std::exception& error);

} // namespace velomar::printing
