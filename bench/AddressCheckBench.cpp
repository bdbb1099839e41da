// The address check over a sample archive (the same data as `velomar-batch sample`): the
// whole archive, as "Verifica indirizzi" and velomar-batch check read it, and one
// completer look-up of the entry form.
#include "addresses/AddressCheck.h"
#include "addresses/ArchiveCheck.h"
#include "addresses/ItalianPlaces.h"
#include "archive/ArchiveFile.h"
#include "archive/SampleArchive.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace velomar;

namespace {

void BM_CheckArchive(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Check.mdb"));
    archive::SampleArchive::write(path, state.range(0), 1);
    archive::Database db =
        archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses, archive::ArchiveFile::Access::ReadOnly);
    const addresses::AddressCheck check(addresses::ItalianPlaces::builtin());
    for (auto _ : state) {
        addresses::ArchiveCheck::Counts counts;
        benchmark::DoNotOptimize(addresses::ArchiveCheck::scan(db, check, &counts));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CheckArchive)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_CheckOneAddress(benchmark::State& state) {
    const addresses::AddressCheck check(addresses::ItalianPlaces::builtin());
    const addresses::AddressCheck::Place place{QStringLiteral("40017"), QStringLiteral("S.GIOVANNI IN PERSICETO"),
                                               QStringLiteral("Bologna"), QString()};
    for (auto _ : state)
        benchmark::DoNotOptimize(check.check(place));
}
BENCHMARK(BM_CheckOneAddress);

void BM_CompleterPrefix(benchmark::State& state) {
    const addresses::ItalianPlaces& places = addresses::ItalianPlaces::builtin();
    for (auto _ : state)
        benchmark::DoNotOptimize(places.startingWith(u"san", 50));
}
BENCHMARK(BM_CompleterPrefix)->Unit(benchmark::kMicrosecond);

} // namespace
