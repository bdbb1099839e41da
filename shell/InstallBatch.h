#pragma once

#include <QStringList>

class QTextStream;

namespace velomar::shell {

// velomar-batch install-dir FOLDER: records the program folder in the settings store
// (used by the installation script only).
int batchInstallDir(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace velomar::shell
