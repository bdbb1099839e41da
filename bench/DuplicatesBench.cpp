// The search of duplicates over a whole sample archive of 100,000 addresses, as the
// window "Cerca doppioni" and `velomar-batch duplicates` run it (target: 5 s, 200 MB).
#include "addresses/DuplicateFinder.h"
#include "addresses/NotDuplicates.h"
#include "archive/ArchiveFile.h"
#include "archive/SampleArchive.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace velomar;

namespace {

long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The process's peak resident size so far.
long peakKb() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmHWM:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
    return 0;
}

void BM_FindDuplicates(benchmark::State& state) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Doppioni%1.mdb").arg(state.range(0)));
    if (!QFile::exists(path))
        archive::SampleArchive::write(path, state.range(0), 3);
    std::size_t groups = 0;
    long addedKb = 0;
    for (auto _ : state) {
        const long before = residentKb();
        archive::Database db =
            archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses, archive::ArchiveFile::Access::ReadOnly);
        addresses::DuplicateFinder finder;
        finder.addArchive(db);
        finder.setKeptApart(addresses::NotDuplicates::read(db));
        groups = finder.groups().size();
        addedKb = std::max(addedKb, residentKb() - before); // the first run: later ones reuse freed memory
    }
    state.counters["groups"] = double(groups);
    state.counters["finder_mb"] = double(addedKb) / 1024;
    state.counters["peak_mb"] = double(peakKb()) / 1024;
}
BENCHMARK(BM_FindDuplicates)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
