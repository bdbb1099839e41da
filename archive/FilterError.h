#pragma once

#include "common/AppError.h"

namespace velomar::archive {

// A filter, find or sort text that cannot be understood.
class FilterError : public common::AppError {
public:
    static constexpr int Code = 9002;
    explicit FilterError(const QString& description) : common::AppError(Code, description) {}
};

} // namespace velomar::archive
