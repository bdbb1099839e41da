// Whole-archive jobs on sample archives of 10,000 and 100,000 addresses; the pair shows
// whether a job stays linear (the 100k time should be about 10 times the 10k one).
//   BM_Export      every field of the whole archive, by surname, to a text file
//   BM_Sqlite3Csv  the yardstick for it: the sqlite3 shell dumping the same table as CSV
//                  to a file (`sqlite3 -csv FILE "SELECT * FROM TabMAIL"`); cpu_ms is
//                  the shell's own CPU time
//   BM_Import      every address into an empty archive, in one checked transaction
//   BM_ListToPdf   the formatted list of the whole archive to a PDF file
//   BM_Summaries   the five summaries (group, CAP, town, province, country)
//   BM_CsvRead     reading a UTF-8 CSV of 17 columns (no archive): the reader's share of
//                  a CSV import
#include "archive/ArchiveFile.h"
#include "archive/ArchiveFormat.h"
#include "archive/SampleArchive.h"
#include "exchange/CsvReader.h"
#include "exchange/FileImporter.h"
#include "exchange/ImportMapping.h"
#include "exchange/SourceFactory.h"
#include "exchange/ExportJob.h"
#include "exchange/Importer.h"
#include "printing/ListPrinter.h"
#include "printing/ListPrinterRange.h"
#include "printing/PdfPrinter.h"
#include "printing/SummaryQuery.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <sys/resource.h>

using namespace velomar;

namespace {

QTemporaryDir& workDir() {
    static QTemporaryDir dir;
    return dir;
}

QString exchangeSample(qint64 count) {
    static std::map<qint64, QString> paths;
    auto it = paths.find(count);
    if (it != paths.end())
        return it->second;
    const QString path = workDir().filePath(QStringLiteral("exchange%1.mdb").arg(count));
    archive::SampleArchive::write(path, count, 20261206);
    paths.emplace(count, path);
    return path;
}

archive::Database openArchive(const QString& path, archive::ArchiveFile::Access access) {
    return archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses, access);
}

void BM_Export(benchmark::State& state) {
    const QString source = exchangeSample(state.range(0));
    const QString target = workDir().filePath(QStringLiteral("export.txt"));
    exchange::ExportRequest request;
    request.fields.fill(true);
    for (auto _ : state) {
        // As the batch command runs it: open, read by surname, write, rename.
        archive::Database db = openArchive(source, archive::ArchiveFile::Access::ReadOnly);
        auto range = printing::ListPrinterRange::wholeArchive(db, printing::ListPrinterRange::Values::AsStored);
        const auto result = exchange::ExportJob::toFile(*range, request, target);
        benchmark::DoNotOptimize(result.addresses);
    }
    state.counters["bytes"] = double(QFile(target).size());
}
BENCHMARK(BM_Export)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

double childrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

void BM_Sqlite3Csv(benchmark::State& state) {
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty()) {
        state.SkipWithError("sqlite3 not installed");
        return;
    }
    const QString source = exchangeSample(state.range(0));
    const QString target = workDir().filePath(QStringLiteral("sqlite3.csv"));
    const double cpuBefore = childrenCpuMs();
    for (auto _ : state) {
        QProcess process;
        process.setStandardOutputFile(target);
        process.start(shell, {QStringLiteral("-csv"), source, QStringLiteral("SELECT * FROM TabMAIL")});
        if (!process.waitForFinished(-1) || process.exitCode() != 0)
            state.SkipWithError("sqlite3 failed");
    }
    state.counters["cpu_ms"] = (childrenCpuMs() - cpuBefore) / double(state.iterations());
    state.counters["bytes"] = double(QFile(target).size());
}
BENCHMARK(BM_Sqlite3Csv)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_Import(benchmark::State& state) {
    const QString source = exchangeSample(state.range(0));
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = workDir().filePath(QStringLiteral("import%1.mdb").arg(++round));
        archive::ArchiveFormat::createEmpty(target, archive::ArchiveKind::Addresses);
        state.ResumeTiming();
        archive::Database db = openArchive(target, archive::ArchiveFile::Access::ReadWrite);
        exchange::Importer importer(db, target);
        importer.openSource(source, QStringLiteral("**"),
                            [](const QString& path, archive::ArchiveFile::Access access) {
                                return openArchive(path, access);
                            });
        benchmark::DoNotOptimize(importer.copy());
        state.PauseTiming();
        importer.closeSource();
        db.close();
        QFile::remove(target);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Import)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ListToPdf(benchmark::State& state) {
    const QString source = exchangeSample(state.range(0));
    const QString pdf = workDir().filePath(QStringLiteral("lista.pdf"));
    printing::ListPrintRequest request;
    request.formatted = true;
    for (int f : {0, 2, 3, 5, 6, 7, 8, 10, 14}) // 174 characters a line
        request.fields[std::size_t(f)] = true;
    for (auto _ : state) {
        archive::Database db = openArchive(source, archive::ArchiveFile::Access::ReadOnly);
        auto range = printing::ListPrinterRange::wholeArchive(db, printing::ListPrinterRange::Values::Printable);
        printing::PdfPrinter printer(pdf);
        benchmark::DoNotOptimize(printing::ListPrinter::print(printer, *range, request));
        printer.finishJob();
    }
    state.counters["bytes"] = double(QFile(pdf).size());
}
BENCHMARK(BM_ListToPdf)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Summaries(benchmark::State& state) {
    archive::Database db =
        openArchive(exchangeSample(state.range(0)), archive::ArchiveFile::Access::ReadOnly);
    for (auto _ : state) {
        qint64 rows = 0;
        for (const char* field : {"GR", "CAP", "CITTA", "PROV", "NAZ"})
            rows += qint64(printing::SummaryQuery::run(db, QLatin1String(field),
                                                       printing::SummaryQuery::Order::ByValue)
                               .size());
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_Summaries)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Spreadsheet-like rows: every tenth note quoted with a comma, a quote and a line break.
QString csvSample(qint64 count) {
    const QString path = workDir().filePath(QStringLiteral("righe%1.csv").arg(count));
    if (QFile::exists(path))
        return path;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray out("\xEF\xBB\xBFNOMINATIVO,COGNOME,NOME,INDIRIZZO,CAP,CITTA,PROV,NAZ,TEL,FAX,CELL,"
                   "EMAIL,GR,TITOLO,DITTA,PIVA,NOTE\r\n");
    for (qint64 i = 0; i < count; ++i) {
        out += QStringLiteral("Sig.,Rossi%1,Mario,Via Garibaldi %2,%3,Città di Castello,PG,,"
                              "06 %4,06 %5,333 %6,mario%1@example.it,AMICI,Dott.,Rossi & C. S.r.l.,"
                              "0123456789%7,")
                   .arg(i).arg(i % 300).arg(10000 + i % 90000).arg(1000000 + i).arg(2000000 + i)
                   .arg(3000000 + i).arg(i % 10)
                   .toUtf8();
        out += i % 10 == 0 ? QByteArray("\"Nota, con \"\"virgolette\"\"\r\ne a capo\"\r\n")
                           : QByteArray("nota semplice\r\n");
        if (out.size() > (1 << 20)) {
            file.write(out);
            out.clear();
        }
    }
    file.write(out);
    return path;
}

void BM_CsvRead(benchmark::State& state) {
    const QString path = csvSample(state.range(0));
    for (auto _ : state) {
        exchange::CsvReader reader(path);
        QStringList values;
        qint64 rows = 0;
        while (reader.next(values))
            ++rows;
        if (rows != state.range(0) || values.size() != 17)
            state.SkipWithError("wrong row count");
    }
    state.counters["MB"] = double(QFile(path).size()) / (1 << 20);
}
BENCHMARK(BM_CsvRead)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

// A whole file import as the command runs it: reader, mapping, adjustments and the one
// transaction into an empty archive.
void importFileInto(benchmark::State& state, const QString& source, const QString& table, qint64 expected) {
    const QString target = workDir().filePath(QStringLiteral("importato.mdb"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(target);
        archive::ArchiveFormat::createEmpty(target, archive::ArchiveKind::Addresses);
        state.ResumeTiming();
        archive::Database db = archive::ArchiveFile::open(target, archive::ArchiveKind::Addresses,
                                                          archive::ArchiveFile::Access::ReadWrite);
        exchange::SourceOptions options;
        options.table = table;
        auto reader = exchange::openSource(source, options);
        const auto summary = exchange::FileImporter::run(
            *reader, exchange::ImportMapping::fromHeader(reader->columns()), {}, db, [](qint64) { return true; });
        if (summary.imported != expected)
            state.SkipWithError("wrong row count");
    }
}

void BM_ImportCsv(benchmark::State& state) {
    importFileInto(state, csvSample(state.range(0)), QString(), state.range(0));
}
BENCHMARK(BM_ImportCsv)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportAccessCustomers(benchmark::State& state) {
    importFileInto(state, QStringLiteral(VELOMAR_SOURCE_DIR "/tests/exchange/data/access/nwind.mdb"),
                   QStringLiteral("Customers"), 91);
}
BENCHMARK(BM_ImportAccessCustomers)->Unit(benchmark::kMillisecond);

} // namespace
