// Archive benchmarks on a synthetic archive from SampleArchive (the same data as
// `velomar-batch sample --count N`).
#include "archive/ArchiveFile.h"
#include "archive/ArchiveOpener.h"
#include "archive/Compactor.h"
#include "archive/Database.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "settings/AppState.h"
#include "common/DialogService.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace velomar;

namespace {

class SilentDialogs : public common::DialogService {
public:
    common::MsgResult message(const QString&, common::MsgIcon, common::MsgButtons, const QString&,
                              common::MsgResult) override {
        ++shown;
        return common::MsgResult::Ok;
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> openFile(const common::FileDialogOptions&) override { return {}; }
    std::optional<QString> saveFile(const common::FileDialogOptions&) override { return {}; }
    int shown = 0;
};

// One sample archive per size for the whole run.
QString sampleArchive(qint64 count) {
    static QTemporaryDir dir;
    static std::map<qint64, QString> made;
    auto it = made.find(count);
    if (it != made.end())
        return it->second;
    const QString path = dir.filePath(QStringLiteral("Bench%1.mdb").arg(count));
    archive::SampleArchive::write(path, count, 1);
    return made.emplace(count, path).first->second;
}

void BM_OpenArchive(benchmark::State& state) {
    const QString path = sampleArchive(state.range(0));
    settings::AppState app;
    SilentDialogs dialogs;
    archive::ArchiveOpener opener(app, dialogs);
    qint64 rows = 0;
    for (auto _ : state) {
        archive::Database db;
        archive::Recordset rs;
        app.callerMode = QStringLiteral("Edit");
        if (!opener.open(db, rs, path, false)) {
            state.SkipWithError("open failed");
            break;
        }
        rows = rs.recordCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_OpenArchive)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Compact(benchmark::State& state) {
    const QString source = sampleArchive(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Compatta.mdb"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        QFile::copy(source, path);
        state.ResumeTiming();
        archive::Compactor::compact(path, archive::ArchiveKind::Addresses);
    }
}
BENCHMARK(BM_Compact)->Arg(100000)->Unit(benchmark::kMillisecond);

// The integrity check every open for writing pays (ArchiveFile::requireWritable).
void BM_QuickCheck(benchmark::State& state) {
    const QString path = sampleArchive(state.range(0));
    archive::Database db(path, archive::Database::Mode::ReadOnly);
    for (auto _ : state)
        archive::ArchiveFile::requireWritable(db, archive::ArchiveKind::Addresses);
}
BENCHMARK(BM_QuickCheck)->Arg(100000)->Unit(benchmark::kMillisecond);

// A whole open for writing: header, validation, checks and the write lock.
void BM_OpenForWriting(benchmark::State& state) {
    const QString path = sampleArchive(state.range(0));
    for (auto _ : state)
        archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses, archive::ArchiveFile::Access::ReadWrite);
}
BENCHMARK(BM_OpenForWriting)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
