#include "addresses/GridColumns.h"

#include "archive/DataModel.h"

#include <cmath>

namespace velomar::addresses::GridColumns {

namespace {
constexpr std::array<int, Count> kDefaultWidths = {520, 760, 1820, 1100, 680, 1930, 490, 1350, 370,
                                                   420, 900, 900,  900,  980, 370,  530, 740,  0};
}

QString heading(int field) { return archive::DataModel::columnHeading(field); }

QString header(int column) {
    static const std::array<QString, Count> headers = {
        QStringLiteral("NR"),       QStringLiteral("TITOLO"),    QStringLiteral("COGNOME"),
        QStringLiteral("NOME"),     QStringLiteral("RUOLO ISTITUZIONALE"),
        QStringLiteral("INDIRIZZO"), QStringLiteral("CAP"),      QStringLiteral("CITTÀ"),
        QStringLiteral("PR"),       QStringLiteral("NAZ"),       QStringLiteral("TELEFONO"),
        QStringLiteral("FAX"),      QStringLiteral("CELLULARE"), QStringLiteral("E-MAIL"),
        QStringLiteral("GR"),       QStringLiteral("NOTE"),      QStringLiteral("APPUNTI"),
        QStringLiteral("SERV")};
    return column >= 0 && column < Count ? headers[std::size_t(column)] : QString();
}

int defaultWidthTwips(int column) {
    return column >= 0 && column < Count ? kDefaultWidths[std::size_t(column)] : 0;
}

int searchFieldFromStore(std::optional<int> stored) {
    return stored && *stored >= 0 && *stored < SearchFieldCount ? *stored : DefaultSearchField;
}

int sortFromStore(std::optional<int> stored) {
    return stored && *stored >= 0 && *stored < SortCount ? *stored : DefaultSort;
}

int twipsToPixels(int twips, double dpi) { return int(std::lround(twips * dpi / 1440.0)); }
int pixelsToTwips(int pixels, double dpi) { return int(std::lround(pixels * 1440.0 / dpi)); }

} // namespace velomar::addresses::GridColumns
