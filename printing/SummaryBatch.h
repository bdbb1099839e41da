#pragma once

#include <QStringList>

class QTextStream;

namespace velomar::printing {

// velomar-batch summary: the printed address summary of one field, as a PDF.
int batchSummary(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace velomar::printing
