#pragma once

#include "exchange/SourceFactory.h"

#include <QStringList>

class QTextStream;

namespace velomar::exchange {

// velomar-batch subcommands; each returns the process exit status.
int batchExport(const QStringList& args, QTextStream& out, QTextStream& err);
int batchImport(const QStringList& args, QTextStream& out, QTextStream& err);
int batchImportFile(const QStringList& args, QTextStream& out, QTextStream& err);
// The same with the sources of the caller (tests).
int batchImportFileWith(const QStringList& args, QTextStream& out, QTextStream& err,
                        const SourceOpener& opener);
int batchList(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace velomar::exchange
