#pragma once

#include "printing/SummaryQuery.h"

#include <QDate>
#include <vector>

namespace velomar::printing {

class Printer;
class PrintSpan;

// The printed summary report: title, date, a ruled table of value and count. Throws
// PrinterError; the document is then dropped.
class SummaryPrinter {
public:
    // title: the summary caption padded to 11 characters ("Gruppo     ").
    static void print(Printer& printer, const QString& title, const std::vector<SummaryRow>& rows,
                      const QDate& date = QDate::currentDate());
    // The part of the report in the span; items are the rows.
    static void print(Printer& printer, const QString& title, const std::vector<SummaryRow>& rows,
                      const QDate& date, PrintSpan& span);
    static QString countText(qint64 count); // "1.206"
    // The value as printed: marked when Null, cut with "…" before the count column.
    static QString valueText(const SummaryRow& row);
};

} // namespace velomar::printing
