#pragma once

#include <QStringList>

class QTextStream;

namespace velomar::shell {

// velomar-batch install-dir FOLDER [--templates DIR]: creates the program folder, copies
// the templates it lacks (from DIR, else from next to the program) and records it in the
// settings store (used by the installation script only).
int batchInstallDir(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace velomar::shell
