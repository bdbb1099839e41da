// Import of an outside table of addresses into an empty archive, 17 columns a row, with
// every adjustment on (countries, CAPs, cuts, duplicate check, NOTE lines).
//   BM_ImportTable  rows made in memory, so the figure is the importer's alone
#include "archive/ArchiveFile.h"
#include "archive/ArchiveFormat.h"
#include "exchange/FileImporter.h"
#include "exchange/SourceTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace velomar;

namespace {

class GeneratedTable : public exchange::SourceTable {
public:
    explicit GeneratedTable(qint64 rows) : m_rows(rows) {}
    QStringList columns() const override {
        return {"Titolo", "Cognome",   "Nome",    "Ruolo",    "Indirizzo", "CAP",
                "Città",  "Provincia", "Nazione", "Telefono", "Fax",       "Cellulare",
                "E-mail", "Gruppo",    "Note",    "Appunti",  "Compleanno"};
    }
    bool next(QStringList& v) override {
        if (m_next >= m_rows)
            return false;
        const qint64 i = m_next++;
        const QString n = QString::number(i);
        v = QStringList{QStringLiteral("Sig."),
                        QStringLiteral("Cognome") + n,
                        QStringLiteral("Nome"),
                        QString(),
                        QStringLiteral("Via Garibaldi ") + n,
                        QString::number(1000 + i % 9000),
                        QStringLiteral("Città"),
                        QStringLiteral("MI"),
                        i % 10 ? QStringLiteral("Italia") : QStringLiteral("Germany"),
                        QStringLiteral("02 1234567"),
                        QString(),
                        QStringLiteral("333 1234567"),
                        QStringLiteral("nome%1@example.it").arg(i),
                        QStringLiteral("AB"),
                        QStringLiteral("Una nota"),
                        QString(),
                        QStringLiteral("1 maggio")};
        return true;
    }
    qint64 position() const override { return m_next + 1; }
    QString description() const override { return QStringLiteral("generata"); }

private:
    qint64 m_rows;
    qint64 m_next = 0;
};

void BM_ImportTable(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dest.mdb"));
    const QString countries =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../data/StatiEsteri.mdb");
    qint64 imported = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        archive::ArchiveFormat::createEmpty(path, archive::ArchiveKind::Addresses);
        state.ResumeTiming();
        archive::Database db = archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses,
                                                          archive::ArchiveFile::Access::ReadWrite);
        GeneratedTable source(state.range(0));
        exchange::ImportOptions options;
        options.duplicates = exchange::DuplicateChoice::Skip;
        options.unmappedToNote = true;
        if (QFile::exists(countries))
            options.countries = exchange::CountryNames::fromFile(countries);
        const auto summary = exchange::FileImporter::run(
            source, exchange::ImportMapping::fromHeader(source.columns()), options, db,
            [](qint64) { return true; });
        imported = summary.imported;
    }
    state.counters["imported"] = double(imported);
}
BENCHMARK(BM_ImportTable)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
