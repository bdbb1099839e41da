#pragma once

#include <QString>

namespace velomar::test {

// Points QSettings and the XDG folders at a private temporary folder before any test
// touches them, so tests never see the user's own settings or files.
void redirectUserFolders();

// Root of the temporary folder made by redirectUserFolders.
QString testRoot();

// Absolute path of a file under the source tree / build tree.
QString sourcePath(const QString& relative);
QString binaryPath(const QString& relative);

} // namespace velomar::test
