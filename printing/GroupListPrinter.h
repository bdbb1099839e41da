#pragma once

#include <QDate>
#include <QString>
#include <vector>

namespace velomar::printing {

class Printer;
class PrintSpan;

// The printed list of groups, in the order given.
class GroupListPrinter {
public:
    struct Group {
        QString code;
        QString description;
    };

    // Prints and ends the document; on failure aborts it and rethrows.
    static void print(Printer& printer, const std::vector<Group>& groups, const QDate& date);
    // The part of the list in the span; items are the groups.
    static void print(Printer& printer, const std::vector<Group>& groups, const QDate& date, PrintSpan& span);
};

} // namespace velomar::printing
