#pragma once

class QTextStream;

namespace velomar::common {
class CommandArgs;
}

namespace velomar::addresses {

// check ARCHIVIO [--fix]: one line "NR<TAB>reason<TAB>proposal" per suspect Italian
// address; --fix writes the unambiguous proposals in one transaction.
int batchCheck(const common::CommandArgs& args, QTextStream& out, QTextStream& err);

} // namespace velomar::addresses
