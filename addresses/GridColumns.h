#pragma once

#include <QString>
#include <array>
#include <optional>

namespace velomar::addresses {

// Columns of the address grid: 0..16 are NR..APPUNTI, 17 is the hidden selection mark.
namespace GridColumns {

constexpr int Count = 18;
constexpr int Serv = 17;
constexpr int StoredCount = 17; // Col_W0..Col_W16; SERV is never stored
constexpr int SortCount = 17;
constexpr int SearchFieldCount = 16;
constexpr int DefaultSearchField = 1; // "Cognome"
constexpr int DefaultSort = 2;        // "COGNOME,NOME1"

// Column headings of the address fields ("Nr." .. "Appunti"), by field index.
QString heading(int field);

// Header text of a column: field names for 0 and 17, upper-cased short headings else.
QString header(int column);

// Default widths in twips.
int defaultWidthTwips(int column);

// Stored values: a search-field index of 0..15 and a sort index of 0..16 are taken as
// they stand; anything else (or nothing) gives the defaults.
int searchFieldFromStore(std::optional<int> stored);
int sortFromStore(std::optional<int> stored);

// Twips <-> pixels at the given logical DPI.
int twipsToPixels(int twips, double dpi);
int pixelsToTwips(int pixels, double dpi);

} // namespace GridColumns
} // namespace velomar::addresses
