#include "ArchiveTestFiles.h"
#include "DamagedCorpus.h"
#include "support/BatchProcess.h"

#include "archive/SampleArchive.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <iostream>
#include <thread>

#include <sys/stat.h>

using namespace velomar;
using namespace velomar::test;

namespace {

constexpr qint64 kAddresses = 30;

// What a command may leave on the input: its bytes, its mode, the folder around it.
struct Input {
    QByteArray bytes;
    quint32 mode = 0;
    QString linkTarget;
    QStringList folder;

    static Input of(const QString& path) {
        Input s;
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0)
            s.mode = st.st_mode;
        const QFileInfo info(path);
        s.linkTarget = info.symLinkTarget();
        if (S_ISREG(st.st_mode)) {
            QFile f(path);
            if (f.open(QIODevice::ReadOnly))
                s.bytes = f.readAll();
        }
        s.folder = info.dir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
        return s;
    }
    bool operator==(const Input&) const = default;
};

// A sanitizer report (leaks included) must not pass for a refusal's exit code 1.
BatchRun runChecked(const QStringList& args) {
    return runBatch(args, 120000, [](QProcess& p) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (const QString name : {QStringLiteral("ASAN_OPTIONS"), QStringLiteral("UBSAN_OPTIONS")})
            env.insert(name, (env.value(name).isEmpty() ? QString() : env.value(name) + QLatin1Char(':')) +
                                 QStringLiteral("exitcode=86"));
        p.setProcessEnvironment(env);
    });
}

// English that SQLite, Qt or the C library would put in a message, and sanitizer reports.
bool looksForeign(const QString& text) {
    static const QRegularExpression english(
        QStringLiteral(R"(\b(the|is|not|or|and|of|database|disk|error|unable|failed|malformed|locked|unknown|denied|such|space|cannot|file is|Sanitizer|runtime)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    return english.match(text).hasMatch();
}

// One corpus file through every batch command, in an order where the commands that may
// write (import into it, compaction) come last.
struct Outcome {
    QStringList faults;
    int read = 0;
};

Outcome check(const DamagedCorpus::Entry& entry, const QString& outDir, const QString& source) {
    Outcome outcome;
    QStringList& faults = outcome.faults;
    const QString& f = entry.path;
    Input before = Input::of(f);
    bool recovered = false;
    const auto step = [&](const QString& name, const QStringList& args, bool writes) {
        const BatchRun r = runChecked(args);
        const QString where = QStringLiteral("%1 [%2]: ").arg(entry.what, name);
        if (r.exitCode < 0 || r.exitCode == 86 || r.exitCode > 2) { // -1: crashed or hung
            faults << where + QStringLiteral("uscita %1 %2").arg(r.exitCode).arg(r.err);
            return;
        }
        outcome.read += r.exitCode == 0;
        static const QRegularExpression noCause(QStringLiteral(R"(Errore \d+ nell'archivio)"));
        if (noCause.match(r.err).hasMatch())
            faults << where + QStringLiteral("causa non detta: ") + r.err;
        if (looksForeign(r.err))
            faults << where + QStringLiteral("testo non italiano: ") + r.err;
        if (r.exitCode != 0 && r.err.trimmed().isEmpty())
            faults << where + QStringLiteral("rifiuto senza messaggio");
        const Input after = Input::of(f);
        if (r.exitCode == 0 && (writes || (entry.recoverable && !recovered))) {
            recovered = true;
            before = after; // written, or its hot journal rolled back: the new state counts
        } else if (!(after == before)) {
            faults << where + QStringLiteral("file di ingresso cambiato (uscita %1)").arg(r.exitCode);
            before = after;
        }
    };
    const QString pdf = outDir + QStringLiteral("/out.pdf");
    step(QStringLiteral("count"), {QStringLiteral("count"), f}, false);
    step(QStringLiteral("labels"), {QStringLiteral("labels"), f, QStringLiteral("--pdf"), pdf}, false);
    step(QStringLiteral("list"),
         {QStringLiteral("list"), f, QStringLiteral("--pdf"), pdf, QStringLiteral("--fields"), QStringLiteral("COGNOME,CITTA")},
         false);
    step(QStringLiteral("export"), {QStringLiteral("export"), f, outDir + QStringLiteral("/out.txt")}, false);
    const QString target = outDir + QStringLiteral("/Destinazione.mdb");
    QFile::copy(source, target);
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    step(QStringLiteral("import da"), {QStringLiteral("import"), f, target}, false);
    step(QStringLiteral("compact"), {QStringLiteral("compact"), f}, true);
    step(QStringLiteral("import in"), {QStringLiteral("import"), source, f}, true);
    return outcome;
}

} // namespace

TEST(DamagedCorpus, EveryBatchCommandRefusesOrReadsAndNeverChangesTheInput) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("Buono.mdb"));
    archive::SampleArchive::write(good, kAddresses, 19);
    const QString source = dir.filePath(QStringLiteral("Origine.mdb"));
    archive::SampleArchive::write(source, 3, 23);

    const std::vector<DamagedCorpus::Entry> corpus = DamagedCorpus::write(dir.filePath(QStringLiteral("c")), good);
    ASSERT_GE(corpus.size(), 300u);

    std::vector<Outcome> outcomes(corpus.size());
    std::atomic<std::size_t> nextIndex{0};
    const auto worker = [&] {
        for (std::size_t i; (i = nextIndex++) < corpus.size();) {
            const QString out = dir.filePath(QStringLiteral("out/%1").arg(i));
            QDir().mkpath(out);
            outcomes[i] = check(corpus[i], out, source);
        }
    };
    std::vector<std::thread> workers;
    for (int t = 0; t < std::max(2, QThread::idealThreadCount() * 2); ++t)
        workers.emplace_back(worker);
    for (auto& t : workers)
        t.join();

    int read = 0;
    for (const Outcome& o : outcomes) {
        for (const QString& fault : o.faults)
            ADD_FAILURE() << qPrintable(fault);
        read += o.read;
    }
    std::cout << "[ corpus   ] " << corpus.size() << " files; runs that read: " << read << "\n";
    // The sound ones (and their link) must have been read, the runner really works.
    for (const auto& e : corpus)
        if (e.what.startsWith(QLatin1String("sound")) || e.what.contains(QLatin1String("link to a sound"))) {
            const BatchRun r = runChecked({QStringLiteral("count"), e.path});
            EXPECT_EQ(r.exitCode, 0) << qPrintable(e.what + r.err);
        }
}
