#pragma once

#include "archive/AddressRecord.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace velomar::printing {

// Which of the 17 fields (index as in the address record) the user ticked.
using ListFieldMask = std::array<bool, archive::AddressRecord::FieldCount>;

// The texts of an address list: the formatted line in fixed-width columns and the
// running text of the unformatted list. Only fields 0 (NR) to 14 (GR) are printed.
class ListPrinterLayout {
public:
    static constexpr int MaxLine = 214;    // characters of a formatted line, at most
    static constexpr int LastPrinted = 14; // GR
    static constexpr double WrapWidthMm = 190;

    static QString heading(int field);  // column heading, "Nr." .. "Appunti"
    static QStringList headings();      // of the 17 fields, in order
    static int columnWidth(int field);  // characters

    // Ticked count + widths of the ticked fields - 1, over all 17 boxes.
    static int characterTotal(const ListFieldMask& fields);
    static int checkedCount(const ListFieldMask& fields);
    // Characters of a formatted line that stay on the page: as many as the printable
    // width holds at charWidthMm each, never more than MaxLine.
    static int lineLimit(double printableWidthMm, double charWidthMm);

    // Column heading line: headings in capitals, padded and cut to their widths.
    static QString formattedHeading(const ListFieldMask& fields);
    // The address in columns, cut to MaxLine characters.
    static QString formattedLine(const archive::AddressRecord& record, const ListFieldMask& fields);

    // The running text, its lines separated by '\n', wrapped where the text measured by
    // width (millimetres) would pass WrapWidthMm. Empty when no ticked field has a value.
    // letters, when given, adds up the widths of a text's letters taken one by one
    // (infinite for a letter it cannot vouch for): a line whose sum, with LetterMargin and
    // LetterMarginMm added, stays within WrapWidthMm is not measured. The text is the same.
    using WidthMm = std::function<double(const QString&)>;
    static QString unformattedText(const archive::AddressRecord& record,
                                   const ListFieldMask& fields, const WidthMm& width,
                                   const WidthMm& letters = {});
    static constexpr double LetterMargin = 0.02;
    static constexpr double LetterMarginMm = 0.2;
};

} // namespace velomar::printing
