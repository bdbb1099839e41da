#pragma once

#include <QStringList>

class QTextStream;

namespace velomar::exchange {

// velomar-batch subcommands; each returns the process exit status.
int batchExport(const QStringList& args, QTextStream& out, QTextStream& err);
int batchImport(const QStringList& args, QTextStream& out, QTextStream& err);
int batchList(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace velomar::exchange
