#pragma once

#include "common/AppError.h"

namespace velomar::printing {

// Printer failures carry the program's failure numbers.
class PrinterError : public common::AppError {
public:
    static constexpr int NoPrinter = 5;   // no usable printer: missing or not connected
    static constexpr int FileNotWritten = 75; // the output file (PDF) could not be written
    static constexpr int Problem = 482;   // the printer failed while printing
    static constexpr int Cancelled = 484; // the job was cancelled

    using common::AppError::AppError;
};

} // namespace velomar::printing
