#pragma once

#include "support/TestEnvironment.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace velomar::test {

// velomar-batch as a user runs it: its own process, exit status and both outputs.
struct BatchRun {
    int exitCode = -1;
    QString out, err;
};

inline QString batchProgram() { return binaryPath(QStringLiteral("velomar-batch")); }

inline BatchRun runBatch(const QStringList& args, int timeoutMs = 120000) {
    QProcess p;
    p.start(batchProgram(), args);
    BatchRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace velomar::test
