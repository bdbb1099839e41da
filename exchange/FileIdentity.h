#pragma once

#include "common/FileIdentity.h"

namespace velomar::exchange {

// The output guard of the core needs the same test; it lives in common.
using common::FileIdentity;
using common::sameFile;

} // namespace velomar::exchange
