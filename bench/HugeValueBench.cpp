#include "archive/ArchiveFormat.h"
#include "shell/BatchCommands.h"
#include "archive/Database.h"
#include "archive/Statement.h"
#include "exchange/ExchangeBatch.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <benchmark/benchmark.h>

#include <map>

using namespace velomar;

namespace {

// Ten addresses, the first with a surname of the given size in MB (stored by another tool).
QString hugeArchive(QTemporaryDir& dir, qint64 megabytes) {
    static std::map<qint64, QString> made;
    if (auto it = made.find(megabytes); it != made.end())
        return it->second;
    const QString path = dir.filePath(QStringLiteral("huge-%1.mdb").arg(megabytes));
    archive::ArchiveFormat::createEmpty(path, archive::ArchiveKind::Addresses);
    archive::Database db(path, archive::Database::Mode::ReadWrite);
    archive::Statement st(db, QStringLiteral("INSERT INTO TabMAIL (COGNOME, NOME1, CITTA) VALUES (?, 'Mario', 'Roma')"));
    for (int i = 0; i < 10; ++i) {
        st.reset();
        st.bindText(1, i == 0 ? QString(megabytes * 1024 * 1024, QLatin1Char('X'))
                              : QStringLiteral("Cognome%1").arg(i));
        st.exec();
    }
    return made[megabytes] = path;
}

void runBatch(benchmark::State& state, const char* command) {
    static QTemporaryDir dir;
    const QString archivePath = hugeArchive(dir, state.range(0));
    const QString pdf = dir.filePath(QStringLiteral("huge.pdf"));
    for (auto _ : state) {
        QString out, err;
        QTextStream o(&out), e(&err);
        if (velomar::shell::BatchCommands::run(QString::fromUtf8(command), {archivePath, QStringLiteral("--pdf"), pdf}, o, e) != 0)
            state.SkipWithError("the batch command failed");
    }
}

// velomar-batch labels / list on an archive holding one huge value.
void BM_LabelsHugeValue(benchmark::State& state) { runBatch(state, "labels"); }
void BM_ListHugeValue(benchmark::State& state) { runBatch(state, "list"); }
BENCHMARK(BM_LabelsHugeValue)->Arg(1)->Arg(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListHugeValue)->Arg(1)->Arg(30)->Unit(benchmark::kMillisecond);

} // namespace
