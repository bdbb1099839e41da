#include "exchange/AccessCopyBatch.h"

#include "archive/FailureText.h"
#include "common/AppError.h"
#include "common/CommandArgs.h"
#include "exchange/AccessSnapshot.h"
#include "exchange/MdbFile.h"

#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace velomar::exchange {

namespace {

// Standard error goes to /dev/null while libmdb runs: its notes are English and about
// its own internals.
class QuietStderr {
public:
    QuietStderr() {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && null >= 0)
            ::dup2(null, STDERR_FILENO);
        if (null >= 0)
            ::close(null);
    }
    ~QuietStderr() {
        std::fflush(stderr);
        if (m_saved >= 0) {
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int m_saved = -1;
};

} // namespace

int batchAccessCopy(const common::CommandArgs& args, QTextStream&, QTextStream& err) {
    const QString source = args.argument(0);
    const QString copy = args.argument(1);
    if (QFile::exists(copy)) {
        err << "Il file " << copy << " esiste già.\n";
        return 1;
    }
    QString failure;
    {
        const QuietStderr quiet;
        try {
            const MdbFile db(source);
            AccessSnapshot::write(db, args.value(QStringLiteral("table"), {}), copy);
        } catch (const common::AppError& e) {
            failure = e.description();
        } catch (const std::exception& e) {
            failure = archive::FailureText::cause(e);
        }
    }
    if (failure.isEmpty())
        return 0;
    QFile::remove(copy);
    err << failure << "\n";
    return 1;
}

} // namespace velomar::exchange
