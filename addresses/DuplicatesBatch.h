#pragma once

class QTextStream;

namespace velomar::common {
class CommandArgs;
}

namespace velomar::addresses {

// duplicates ARCHIVIO [--min-score S]: the groups of the window "Cerca doppioni", one
// line per address: group, score, NR, surname and name, address, CAP and town.
int batchDuplicates(const common::CommandArgs& args, QTextStream& out, QTextStream& err);

} // namespace velomar::addresses
