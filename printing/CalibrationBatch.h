#pragma once

#include <QString>
#include <optional>

class QTextStream;

namespace velomar::common {
class CommandArgs;
}

namespace velomar::printing {

// velomar-batch calibrate: shows, sets or removes one printer's calibration.
int batchCalibrate(const common::CommandArgs& args, QTextStream& out, QTextStream& err);
// velomar-batch test-sheet: the test sheet of a printer and sheet format in a PDF file.
int batchTestSheet(const common::CommandArgs& args, QTextStream& out, QTextStream& err);

// Why a printer named on the command line cannot be used (not installed), or nothing:
// the built-in PDF printer and the CUPS printers are known.
std::optional<QString> batchPrinterProblem(const QString& printer);

} // namespace velomar::printing
