#pragma once

#include "exchange/SourceFactory.h"

class QTextStream;

namespace velomar::common {
class CommandArgs;
}

namespace velomar::exchange {

// velomar-batch commands, parsed by their entry of shell/BatchCommands; each returns the
// process exit status.
int batchExport(const common::CommandArgs& args, QTextStream& out, QTextStream& err);
int batchImport(const common::CommandArgs& args, QTextStream& out, QTextStream& err);
int batchImportFile(const common::CommandArgs& args, QTextStream& out, QTextStream& err);
// The same with the sources of the caller (tests).
int batchImportFileWith(const common::CommandArgs& args, QTextStream& out, QTextStream& err,
                        const SourceOpener& opener);
int batchList(const common::CommandArgs& args, QTextStream& out, QTextStream& err);

} // namespace velomar::exchange
