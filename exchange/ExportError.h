#pragma once

#include "common/AppError.h"

namespace velomar::exchange {

// A failure of an export or import job (file not writable, disk full, refused source).
class ExportError : public common::AppError {
public:
    static constexpr int WriteFailed = 75; // the program's "path/file access" failure number

    using common::AppError::AppError;
};

} // namespace velomar::exchange
