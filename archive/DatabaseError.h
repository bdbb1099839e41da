#pragma once

#include "common/AppError.h"

namespace velomar::archive {

// Any failure of the database layer; code() is the SQLite result code, or one of the
// archive codes below for a file that is not ours.
class DatabaseError : public common::AppError {
public:
    static constexpr int NotAnArchive = 9001; // wrong application, password or tables

    using common::AppError::AppError;
};

} // namespace velomar::archive
