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

using BatchCommand = int (*)(const QStringList&, QTextStream&, QTextStream&);

CommandRun runCommand(BatchCommand command, const QStringList& args);

// The whole file, or an empty array when it cannot be read.
QByteArray fileBytes(const QString& path);

} // namespace velomar::test
