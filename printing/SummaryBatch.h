#pragma once

class QTextStream;

namespace velomar::common {
class CommandArgs;
}

namespace velomar::printing {

// velomar-batch summary: the printed address summary of one field, as a PDF.
int batchSummary(const common::CommandArgs& args, QTextStream& out, QTextStream& err);

} // namespace velomar::printing
