#pragma once

#include <QStringList>

class QTextStream;

namespace velomar::printing {

// velomar-batch subcommands; each returns the process exit status.
int batchLabels(const QStringList& args, QTextStream& out, QTextStream& err);
// One page of the label job as a PNG image, drawn as the print would draw it.
int batchPreview(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace velomar::printing
