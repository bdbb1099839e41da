// Reading a 100 MB text source whatever the length of its lines: the time must grow with
// the file, not with the square of its longest line.
//   BM_ReadCsv/100/L   100 MB of CSV in lines of L KiB (0: one line without a break, which
//                      is refused at 1 MB)
//   BM_ReadVCard/100/L the same as vCard cards with a NOTE of L KiB
#include "exchange/ExchangeError.h"
#include "exchange/SourceFactory.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <map>
#include <tuple>

using namespace velomar;

namespace {

// Made once per shape: writing 100 MB is not what is measured.
QString sample(bool vcard, qint64 megabytes, qint64 lineKib) {
    static QTemporaryDir dir;
    static std::map<std::tuple<bool, qint64, qint64>, QString> made;
    const auto key = std::make_tuple(vcard, megabytes, lineKib);
    if (auto it = made.find(key); it != made.end())
        return it->second;
    const QString path =
        dir.filePath(QStringLiteral("lunghe-%1-%2.%3").arg(megabytes).arg(lineKib).arg(QLatin1String(vcard ? "vcf" : "csv")));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    const qint64 total = megabytes << 20;
    if (lineKib == 0) {
        const QByteArray block(1 << 20, 'x');
        file.write(vcard ? "BEGIN:VCARD\r\nNOTE:" : "Cognome,Note\r\nRossi,");
        for (qint64 n = 0; n < megabytes; ++n)
            file.write(block);
    } else {
        const QByteArray value((lineKib << 10) - 40, 'v');
        if (!vcard)
            file.write("Cognome,Nome,Note\r\n");
        for (qint64 i = 0; file.size() < total; ++i)
            file.write(vcard ? "BEGIN:VCARD\r\nN:Rossi" + QByteArray::number(i) + ";\r\nNOTE:" + value +
                                   "\r\nEND:VCARD\r\n"
                             : "Rossi" + QByteArray::number(i) + ",Mario," + value + "\r\n");
    }
    return made[key] = path;
}

void read(benchmark::State& state, bool vcard) {
    const QString path = sample(vcard, state.range(0), state.range(1));
    qint64 rows = 0;
    bool refused = false;
    for (auto _ : state) {
        rows = 0;
        try {
            auto source = exchange::openSource(path, {});
            QStringList values;
            while (source->next(values))
                ++rows;
        } catch (const exchange::ExchangeError&) {
            refused = true; // the line beyond 1 MB
        }
    }
    state.counters["righe"] = double(rows);
    state.counters["rifiutato"] = refused ? 1 : 0;
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

void BM_ReadCsv(benchmark::State& state) {
    read(state, false);
}
void BM_ReadVCard(benchmark::State& state) {
    read(state, true);
}
BENCHMARK(BM_ReadCsv)->Args({100, 1})->Args({100, 1000})->Args({100, 0})->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ReadVCard)->Args({100, 1})->Args({100, 1000})->Args({100, 0})->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
