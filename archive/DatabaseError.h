#pragma once

#include "common/AppError.h"

namespace velomar::archive {

// Any failure of the database layer; code() is the SQLite result code, or one of the
// archive codes below for a file that is not ours or not fit for the asked use.
class DatabaseError : public common::AppError {
public:
    static constexpr int NotAnArchive = 9001; // wrong application, password or tables
    static constexpr int Damaged = 9010;      // ours, but its pages fail the integrity check
    static constexpr int KeyNotUnique = 9011; // TabMAIL.NR does not identify one address
    static constexpr int InUse = 9012;        // another program holds the lock past the wait
    static constexpr int OutputRefused = 9013; // an output would overwrite a file in use

    using common::AppError::AppError;
};

} // namespace velomar::archive
