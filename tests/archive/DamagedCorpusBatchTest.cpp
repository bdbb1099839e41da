#include "ArchiveHarness.h"
#include "DamagedCorpus.h"

#include "archive/ArchiveOpener.h"
#include "archive/Recordset.h"
#include "settings/AppState.h"
#include "support/BatchProcess.h"
#include "support/ScriptedDialogs.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <atomic>
#include <iostream>
#include <map>
#include <thread>

using namespace velomar;
using namespace velomar::test;
using namespace velomar::archive;
using DamagedArchive = GoodArchive;

namespace {

// A sanitizer report (leaks included) must not pass for a refusal's exit code 1.
BatchRun runChecked(const QStringList& args) {
    return runBatch(args, 120000, [](QProcess& p) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        for (const QString name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"})
            env.insert(name,
                       (env.value(name).isEmpty() ? "" : env.value(name) + ':') + "exitcode=86");
        p.setProcessEnvironment(env);
    });
}

// English that SQLite, Qt or the C library would put in a message, and sanitizer reports.
bool looksForeign(const QString& text) {
    static const QRegularExpression english(
        R"(\b(the|is|not|or|and|of|database|disk|error|unable|failed|malformed|locked|unknown|)"
        R"(denied|such|space|cannot|file is|Sanitizer|runtime)\b)",
        QRegularExpression::CaseInsensitiveOption);
    return english.match(text).hasMatch();
}

struct Outcome {
    QStringList faults;
    int read = 0;
};

// One corpus file through every batch command, in an order where the commands that may
// write (import into it, compaction) come last.
Outcome check(const DamagedCorpus::Entry& entry, const QString& outDir, const QString& source) {
    Outcome outcome;
    const QString& f = entry.path;
    FileSnapshot before = FileSnapshot::of(f);
    bool recovered = false;
    const auto step = [&](const QString& name, const QStringList& args, bool writes) {
        const BatchRun r = runChecked(args);
        const QString where = entry.what + " [" + name + "]: ";
        QStringList& faults = outcome.faults;
        if (r.exitCode < 0 || r.exitCode == 86 || r.exitCode > 2) { // -1: crashed or hung
            faults << where + QString("uscita %1 %2").arg(r.exitCode).arg(r.err);
            return;
        }
        outcome.read += r.exitCode == 0;
        static const QRegularExpression noCause(R"(Errore \d+ nell'archivio)");
        if (noCause.match(r.err).hasMatch())
            faults << where + "causa non detta: " + r.err;
        if (looksForeign(r.err))
            faults << where + "testo non italiano: " + r.err;
        if (r.exitCode != 0 && r.err.trimmed().isEmpty())
            faults << where + "rifiuto senza messaggio";
        const bool refusedAsForeign =
            r.exitCode == 1 &&
            (name != "count" || r.err == "Archivio non riconosciuto o corrotto !\n");
        if (entry.foreign && !refusedAsForeign)
            faults << where + "non rifiutato come estraneo: " + r.err;
        const FileSnapshot after = FileSnapshot::of(f);
        if (r.exitCode == 0 && (writes || (entry.recoverable && !recovered))) {
            recovered = true;
            before = after; // written, or its hot journal rolled back: the new state counts
        } else if (!(after == before)) {
            faults << where + QString("file di ingresso cambiato (uscita %1)").arg(r.exitCode);
            before = after;
        }
    };
    const QString pdf = outDir + "/out.pdf", target = outDir + "/Destinazione.mdb";
    step("count", {"count", f}, false);
    step("labels", {"labels", f, "--pdf", pdf}, false);
    step("list", {"list", f, "--pdf", pdf, "--fields", "COGNOME,CITTA"}, false);
    step("export", {"export", f, outDir + "/out.txt"}, false);
    QFile::copy(source, target);
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    step("import da", {"import", f, target}, false);
    step("compact", {"compact", f}, true);
    step("import in", {"import", source, f}, true);
    return outcome;
}

// Under the sanitizers a run is several times slower: every kind of damage is still tried,
// but only every fourth file of a family that differs by an offset alone (all of them with
// VELOMAR_FULL_CORPUS set).
std::vector<DamagedCorpus::Entry> sampled(std::vector<DamagedCorpus::Entry> corpus) {
#ifdef VELOMAR_SANITIZED
    if (qEnvironmentVariableIsSet("VELOMAR_FULL_CORPUS"))
        return corpus;
    static const QRegularExpression number(R"(\d+)");
    std::map<QString, int> seen;
    std::erase_if(corpus, [&](const DamagedCorpus::Entry& e) {
        return seen[QString(e.what).replace(number, "#")]++ % 4 != 0;
    });
#endif
    return corpus;
}

} // namespace

TEST(DamagedCorpus, EveryBatchCommandRefusesOrReadsAndNeverChangesTheInput) {
    QTemporaryDir dir;
    const QString good = dir.filePath("Buono.mdb"), source = dir.filePath("Origine.mdb");
    archive::SampleArchive::write(good, 30, 19);
    archive::SampleArchive::write(source, 3, 23);
    const std::vector<DamagedCorpus::Entry> whole = DamagedCorpus::write(dir.filePath("c"), good);
    ASSERT_GE(whole.size(), 300u);
    const std::vector<DamagedCorpus::Entry> corpus = sampled(whole);

    std::vector<Outcome> outcomes(corpus.size());
    std::atomic<std::size_t> nextIndex{0};
    std::vector<std::jthread> workers;
    for (int t = 0; t < std::max(2, QThread::idealThreadCount() * 2); ++t)
        workers.emplace_back([&] {
            for (std::size_t i; (i = nextIndex++) < corpus.size();) {
                const QString out = dir.filePath(QString("out/%1").arg(i));
                QDir().mkpath(out);
                outcomes[i] = check(corpus[i], out, source);
            }
        });
    workers.clear(); // joins

    int read = 0;
    for (const Outcome& o : outcomes) {
        for (const QString& fault : o.faults)
            ADD_FAILURE() << qPrintable(fault);
        read += o.read;
    }
    std::cout << "[ corpus   ] " << corpus.size() << " files; runs that read: " << read << "\n";
    // The sound ones (and their link) must have been read, the runner really works.
    for (const auto& e : corpus)
        if (e.what.startsWith("sound") || e.what.contains("link to a sound")) {
            const BatchRun r = runChecked({"count", e.path});
            EXPECT_EQ(r.exitCode, 0) << qPrintable(e.what + r.err);
        }
}

// Random mutations of a sound archive through the grid's own open, in this process.

TEST_F(DamagedArchive, MutatedArchivesNeverCrashAndRefusalsChangeNothing) {
    // Mutations aimed where parsers are weakest: the header, the page headers and cell
    // pointers at each page start, and anywhere at random.
    QRandomGenerator rnd(20261206);
    const qint64 pageSize = 4096;
    const int rounds = 120;
    const QString mutated = path("Mutato.mdb");
    int refused = 0;
    settings::AppState state;
    ScriptedDialogs dialogs;
    ArchiveOpener opener(state, dialogs);
    for (int round = 0; round < rounds; ++round) {
        QByteArray bytes = goodBytes;
        for (int i = 0, flips = 1 + int(rnd.bounded(12)); i < flips; ++i) {
            const int kind = int(rnd.bounded(3));
            const qint64 at =
                kind == 0   ? rnd.bounded(100)
                : kind == 1 ? rnd.bounded(int(bytes.size() / pageSize)) * pageSize + rnd.bounded(16)
                            : rnd.bounded(int(bytes.size()));
            bytes[at] = char(rnd.bounded(256));
        }
        ASSERT_TRUE(writeFile(mutated, bytes));
        const FileSnapshot before = FileSnapshot::of(mutated);
        // The grid's own open: read/write, every row loaded into the record set.
        state.callerMode = round % 2 ? "Edit" : "Main";
        Database db;
        Recordset rs;
        if (opener.open(db, rs, mutated, false)) {
            for (qint64 row = 0; row < rs.recordCount(); ++row)
                for (int c = 0; c < rs.fieldCount(); ++c)
                    (void)rs.textAt(row, c);
        } else {
            ++refused;
            EXPECT_EQ(state.callerMode, "Erro");
        }
        rs.close();
        db.close();
        EXPECT_EQ(FileSnapshot::of(mutated), before) << "round " << round;
    }
    EXPECT_GT(refused, rounds / 3);
}
