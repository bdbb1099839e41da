#pragma once

#include <vector>

namespace velomar::exchange {

struct EnglishCountryName {
    const char* name; // UTF-8
    const char* code; // ISO 3166-1 alpha-2, as in the country table
};

// Address books written in English name the country ("Germany"); our country table knows
// codes and Italian names only.
const std::vector<EnglishCountryName>& englishCountryNames();

} // namespace velomar::exchange
