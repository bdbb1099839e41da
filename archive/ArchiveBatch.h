#pragma once

class QTextStream;

namespace velomar::common {
class CommandArgs;
}

namespace velomar::archive {

// velomar-batch commands, parsed by their entry of shell/BatchCommands; each returns the
// process exit status.
int batchSample(const common::CommandArgs& args, QTextStream& out, QTextStream& err);
int batchCount(const common::CommandArgs& args, QTextStream& out, QTextStream& err);
// compact ARCHIVIO: the properties window's compaction; an address or groups archive,
// told apart by their tables.
int batchCompact(const common::CommandArgs& args, QTextStream& out, QTextStream& err);

} // namespace velomar::archive
