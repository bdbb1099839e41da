#pragma once

#include <QDate>
#include <QString>
#include <vector>

namespace velomar::printing {

class Printer;

// The printed list of groups, in the order given.
class GroupListPrinter {
public:
    struct Group {
        QString code;
        QString description;
    };

    // Prints and ends the document; on failure aborts it and rethrows.
    static void print(Printer& printer, const std::vector<Group>& groups, const QDate& date);
};

} // namespace velomar::printing
