#pragma once

class QTextStream;

namespace velomar::common {
class CommandArgs;
}

namespace velomar::printing {

// velomar-batch formats: lists the label sheet formats (built-in, glabels-data, the
// user's own), optionally only those matching a search; chooses one for the label jobs
// or stores the user's own format. Returns the process exit status.
int batchFormats(const common::CommandArgs& args, QTextStream& out, QTextStream& err);

} // namespace velomar::printing
