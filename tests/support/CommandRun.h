#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QTextStream;

namespace velomar::test {

// A batch command run in-process: its exit status and what it wrote.
struct CommandRun {
    int status = -1;
    QString out;
    QString err;
};

// A velomar-batch command by its name ("import-file"), parsed and run as the program does.
CommandRun runCommand(const QString& command, const QStringList& args);

// The whole file, or an empty array when it is no plain file or cannot be read.
QByteArray fileBytes(const QString& path);

// Creates or truncates the file with these bytes; false when it cannot be written.
bool writeFile(const QString& path, const QByteArray& bytes);

} // namespace velomar::test
