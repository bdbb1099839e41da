#pragma once

#include <QStringList>

class QTextStream;

namespace velomar::archive {

// velomar-batch subcommands; each returns the process exit status.
int batchSample(const QStringList& args, QTextStream& out, QTextStream& err);
int batchCount(const QStringList& args, QTextStream& out, QTextStream& err);
// compact ARCHIVIO: the properties window's compaction; an address or groups archive,
// told apart by their tables.
int batchCompact(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace velomar::archive
