// Record set figures on a 100,000-address sample archive:
//   BM_RecordsetLoad    open and load the whole address table (mode "Edit")
//   BM_Filter           COGNOME LIKE '*ROSSI*' and the count
//   BM_Sort/N/k         sort order k (0..16) from cold sort caches
//   BM_RecordsetMemory  resident memory of one loaded record set (run it alone)
#include "archive/Database.h"
#include "archive/DataModel.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <map>

using namespace velomar::archive;

namespace {

// One sample archive per size for the whole run.
QString sampleArchive(qint64 count) {
    static QTemporaryDir dir;
    static std::map<qint64, QString> paths;
    auto it = paths.find(count);
    if (it != paths.end())
        return it->second;
    const QString path = dir.filePath(QStringLiteral("sample%1.mdb").arg(count));
    SampleArchive::write(path, count, 20261206);
    paths.emplace(count, path);
    return path;
}

long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

void BM_RecordsetLoad(benchmark::State& state) {
    Database db(sampleArchive(state.range(0)), Database::Mode::ReadWrite);
    for (auto _ : state) {
        Recordset rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
        benchmark::DoNotOptimize(rs.recordCount());
    }
}
BENCHMARK(BM_RecordsetLoad)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Filter(benchmark::State& state) {
    Database db(sampleArchive(state.range(0)), Database::Mode::ReadWrite);
    Recordset rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
    qint64 found = 0;
    for (auto _ : state) {
        rs.setFilter(QStringLiteral("COGNOME LIKE '*ROSSI*'"));
        found = rs.recordCount();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = double(found);
}
BENCHMARK(BM_Filter)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Sort(benchmark::State& state) {
    Database db(sampleArchive(state.range(0)), Database::Mode::ReadWrite);
    const int order = int(state.range(1));
    for (auto _ : state) {
        // A fresh record set each time: no sort key is cached from an earlier run.
        state.PauseTiming();
        auto rs = std::make_unique<Recordset>(Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic));
        state.ResumeTiming();
        DataModel::applySortOrder(*rs, order);
        benchmark::DoNotOptimize(rs->absolutePosition());
        state.PauseTiming();
        rs.reset();
        state.ResumeTiming();
    }
    state.SetLabel(DataModel::sortSpec(order).value_or(QString()).toStdString());
}
BENCHMARK(BM_Sort)->ArgsProduct({{100000}, benchmark::CreateDenseRange(0, 16, 1)})
    ->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RecordsetMemory(benchmark::State& state) {
    const QString path = sampleArchive(state.range(0));
    for (auto _ : state) {
        Database db(path, Database::Mode::ReadWrite);
        malloc_trim(0); // memory freed by the sample generation goes back first
        const long before = residentKb();
        Recordset rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
        const long after = residentKb();
        state.counters["rss_MB"] = double(after - before) / 1024.0;
        state.counters["rss_total_MB"] = double(after) / 1024.0;
    }
}
BENCHMARK(BM_RecordsetMemory)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
