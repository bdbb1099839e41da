#pragma once

#include "printing/SheetFormat.h"

namespace velomar::printing {

// The label geometry every label job uses is the sheet format.
using LabelLayout = SheetFormat;

} // namespace velomar::printing
