#pragma once

#include <QStringList>

class QTextStream;

namespace velomar::printing {

// velomar-batch subcommands; each returns the process exit status.
int batchLabels(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace velomar::printing
