#pragma once

#include "common/AppError.h"

namespace velomar::common {

// A command line the command cannot run: unknown option, missing or wrong value, wrong
// number of arguments. The description is the Italian message; the exit status is 2.
class UsageError : public AppError {
public:
    explicit UsageError(const QString& description) : AppError(2, description) {}
};

} // namespace velomar::common
