// The address grid's model over a 100k-address archive: filter, sort, first rows, memory.
#include "addresses/AddressTableModel.h"
#include "addresses/SearchFilter.h"
#include "archive/Database.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <memory>
#include <unistd.h>

using namespace velomar;

namespace {

// One archive per size for the whole run, written once.
QString archiveOf(int count) {
    static std::map<int, std::unique_ptr<QTemporaryDir>> dirs;
    auto& dir = dirs[count];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        // The same archive as "velomar-batch sample --count N".
        archive::SampleArchive::write(dir->filePath(QStringLiteral("bench.mdb")), count, 1);
    }
    return dir->filePath(QStringLiteral("bench.mdb"));
}

long rssKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct OpenGrid {
    explicit OpenGrid(int count)
        : db(archiveOf(count), archive::Database::Mode::ReadWrite),
          rs(archive::Recordset::open(db, QStringLiteral("TabMAIL"), archive::LockType::Optimistic)) {
        model.bind(&rs);
    }
    archive::Database db;
    archive::Recordset rs;
    addresses::AddressTableModel model;
};

// What a grid reads to paint one screen of rows.
void paintRows(const addresses::AddressTableModel& model, int first, int rows) {
    for (int r = first; r < std::min(first + rows, model.rowCount()); ++r)
        for (int c = 0; c < 17; ++c)
            benchmark::DoNotOptimize(model.data(model.index(r, c)));
}

void BM_GridFilter(benchmark::State& state) {
    OpenGrid grid(int(state.range(0)));
    const char letters[] = {'B', 'R', 'G', 'M'};
    int k = 0;
    for (auto _ : state) {
        const bool found = grid.model.tryFilter(
            addresses::SearchFilter::initial(QStringLiteral("COGNOME"), QChar(letters[k++ % 4])));
        benchmark::DoNotOptimize(found);
        paintRows(grid.model, 0, 40);
    }
    state.counters["rows"] = double(grid.model.rowCount());
}
BENCHMARK(BM_GridFilter)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_GridSort(benchmark::State& state) {
    OpenGrid grid(int(state.range(0)));
    const int orders[] = {2, 7, 6, 0};
    int k = 0;
    for (auto _ : state) {
        grid.model.applySort(orders[k++ % 4]);
        paintRows(grid.model, 0, 40);
    }
}
BENCHMARK(BM_GridSort)->Arg(100000)->Unit(benchmark::kMillisecond);

// Opening the grid: archive, record set, sort by surname, first screen of rows.
void BM_GridOpen(benchmark::State& state) {
    const QString path = archiveOf(int(state.range(0)));
    for (auto _ : state) {
        archive::Database db(path, archive::Database::Mode::ReadWrite);
        archive::Recordset rs =
            archive::Recordset::open(db, QStringLiteral("TabMAIL"), archive::LockType::Optimistic);
        rs.setSort(addresses::AddressTableModel::sortSpec(2));
        addresses::AddressTableModel model;
        model.bind(&rs);
        rs.moveFirst();
        paintRows(model, 0, 40);
    }
}
BENCHMARK(BM_GridOpen)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Resident memory of the record set, and what the model adds on top while the whole
// list is scrolled through.
void BM_GridMemory(benchmark::State& state) {
    const QString path = archiveOf(int(state.range(0)));
    for (auto _ : state) {
        const long before = rssKb();
        archive::Database db(path, archive::Database::Mode::ReadWrite);
        archive::Recordset rs =
            archive::Recordset::open(db, QStringLiteral("TabMAIL"), archive::LockType::Optimistic);
        const long loaded = rssKb();
        addresses::AddressTableModel model;
        model.bind(&rs);
        for (int r = 0; r < model.rowCount(); r += 40)
            paintRows(model, r, 40);
        const long after = rssKb();
        state.counters["recordset_kb"] = double(loaded - before);
        state.counters["model_kb"] = double(after - loaded);
    }
}
BENCHMARK(BM_GridMemory)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
