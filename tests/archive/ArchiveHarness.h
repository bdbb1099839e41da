#pragma once

// What the archive tests share: a sound archive to start from, what a failure says, and
// runs of a write killed at chosen moments.
#include "ArchiveTestFiles.h"

#include "archive/Database.h"
#include "archive/DatabaseError.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "archive/Statement.h"
#include "support/CommandRun.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace velomar::test {

// The first value a query gives on a connection of its own, or -1.
inline qint64 scalar(const QString& path, const QString& sql) {
    archive::Database db(path, archive::Database::Mode::ReadOnly);
    archive::Statement st(db, sql);
    return st.step() ? st.integer(0) : -1;
}

// The count the batch command prints, or -1 when it refuses the archive.
inline qint64 countOf(const QString& path) {
    const CommandRun r = runCommand("count", {path});
    bool ok = false;
    const qint64 n = r.out.trimmed().toLongLong(&ok);
    return r.status == 0 && ok ? n : -1;
}

// A sample archive made by velomar-batch itself: its exit status.
inline int sample(const QString& count, const QString& path, const QString& seed = "1") {
    return runCommand("sample", {"--count", count, "--seed", seed, path}).status;
}

struct Failure {
    int code = 0;
    QString text = "<nessun errore>";
};

inline Failure failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const archive::DatabaseError& e) {
        return {e.code(), e.description()};
    }
    return {};
}

inline void writeBytesAt(const QString& path, qint64 at, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(at));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// One field of every row in view order; Null reads "<Null>".
inline QStringList column(const archive::Recordset& rs, const char* field) {
    QStringList out;
    const int f = rs.fieldIndex(field);
    for (qint64 r = 0; r < rs.recordCount(); ++r)
        out << (rs.valueAt(r, f).isValid() ? rs.textAt(r, f) : "<Null>");
    return out;
}

// Shortens the standard lock wait until the end of the test.
struct LockWait {
    explicit LockWait(int ms) { archive::Database::setStandardBusyTimeout(ms); }
    ~LockWait() {
        archive::Database::setStandardBusyTimeout(archive::Database::DefaultBusyTimeoutMs);
    }
};

// A sound archive of 300 addresses, and its bytes.
class GoodArchive : public ::testing::Test {
protected:
    void SetUp() override {
        good = path("Buono.mdb");
        archive::SampleArchive::write(good, 300, 11);
        goodBytes = fileBytes(good);
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    QString good;
    QByteArray goodBytes;
};

// Runs work in a child process: exit status 0 when done, 3 when it threw.
inline pid_t spawn(const std::function<void()>& work) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        try {
            work();
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    return pid;
}

inline int waitFor(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

// velomar-batch in a child process of its own.
inline pid_t spawnBatch(const QStringList& args) {
    const QByteArray program = QFile::encodeName(binaryPath("velomar-batch"));
    std::vector<QByteArray> bytes;
    for (const QString& a : args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv{const_cast<char*>(program.constData())};
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    return spawn([&] {
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, 1);
        ::dup2(quiet, 2);
        ::execv(program.constData(), argv.data());
    });
}

// Kills fresh runs (SIGKILL: no handler, no rollback, no close) at `points` moments spread
// over the time one whole run takes and a little past it, so that some kills come after
// its end. start() begins a run; check() looks at what it left, told whether it was the
// whole run, which is the first.
inline void killAtSpreadMoments(int points, const std::function<pid_t()>& start,
                                const std::function<void(bool whole)>& check) {
    QElapsedTimer clock;
    clock.start();
    const int status = waitFor(start());
    const qint64 spanUs = std::max<qint64>(clock.nsecsElapsed() / 1000, 2000);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    check(true);
    for (int i = 0; i < points; ++i) {
        const qint64 delayUs = qint64(double(spanUs) * 1.15 * (i + 0.5) / points);
        SCOPED_TRACE(QString("killed after %1 of %2 us").arg(delayUs).arg(spanUs).toStdString());
        const pid_t pid = start();
        ::usleep(useconds_t(delayUs));
        ::kill(pid, SIGKILL);
        waitFor(pid);
        check(false);
    }
}

} // namespace velomar::test
