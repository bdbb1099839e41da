#pragma once

#include "support/TestEnvironment.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

namespace velomar::test {

// velomar-batch as a user runs it: its own process, exit status and both outputs.
struct BatchRun {
    int exitCode = -1;
    QString out, err;
};

inline QString batchProgram() { return binaryPath(QStringLiteral("velomar-batch")); }

// prepare sets what the process starts with (environment, input, session) when the
// test needs other than this process's own.
inline BatchRun runBatch(const QStringList& args, int timeoutMs = 120000,
                         const std::function<void(QProcess&)>& prepare = {}) {
    QProcess p;
    if (prepare)
        prepare(p);
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
