#pragma once

#include <span>

namespace velomar::archive::sample {

// Word lists of the synthetic archives; UTF-8. Places agree: each town carries its own
// postal codes and province.
struct Town {
    const char* name; // as the entry form stores it: capitals
    int capFirst;     // first postal code
    int capCount;     // consecutive codes of the town
    const char* prov;
};

struct ForeignTown {
    const char* name;
    const char* postalCode;
    const char* street;
    const char* country; // as stored in NAZ
};

struct Group {
    const char* code;
    const char* description;
};

std::span<const char* const> surnames();
std::span<const char* const> maleNames();
std::span<const char* const> femaleNames();
std::span<const char* const> maleTitles();
std::span<const char* const> femaleTitles();
std::span<const char* const> roles();
std::span<const char* const> streetKinds();
std::span<const char* const> streetNames();
std::span<const char* const> notes();
std::span<const char* const> memos();
std::span<const char* const> mailDomains();
std::span<const Town> towns();
std::span<const ForeignTown> foreignTowns();
std::span<const Group> groups();

} // namespace velomar::archive::sample
