#pragma once

class QTextStream;

namespace velomar::common {
class CommandArgs;
}

namespace velomar::exchange {

// velomar-batch access-copy ORIGINE COPIA [--table NOME]: copies an Access database's
// catalogue (and one table's rows) into a new SQLite file (see AccessSnapshot). The
// program reads every Access file through it, in a child process; libmdb's notes on
// standard error are dropped, only the Italian refusal is written.
int batchAccessCopy(const common::CommandArgs& args, QTextStream& out, QTextStream& err);

} // namespace velomar::exchange
