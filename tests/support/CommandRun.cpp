#include "CommandRun.h"

#include "shell/BatchCommands.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace velomar::test {

CommandRun runCommand(const QString& command, const QStringList& args) {
    CommandRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = shell::BatchCommands::run(command, args, out, err);
    out.flush();
    err.flush();
    return r;
}

QByteArray fileBytes(const QString& path) {
    if (!QFileInfo(path).isFile())
        return {}; // reading a FIFO would wait for a writer
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace velomar::test
