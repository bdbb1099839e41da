// Damaged Access databases: libmdb loops, crashes or writes English notes on some of them.
// Each one must end, read or refused in Italian, within the child's limits.
#include "ExchangeTest.h"
#include "exchange/AccessReader.h"
#include "support/BatchProcess.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using exchange::AccessReader;

namespace {

QByteArray fixture(const char* name) {
    return test::fileBytes(test::exchangeData(QStringLiteral("access/") + QLatin1String(name)));
}

struct Variant {
    const char* what;
    const char* source;
    std::function<QByteArray(QByteArray)> damage;
};

QByteArray flipped(QByteArray b, qsizetype at) {
    b[at] = char(b[at] ^ 0xFF);
    return b;
}

QByteArray zeroed(QByteArray b, qsizetype page, int pageSize) {
    b.replace(page * pageSize, pageSize, QByteArray(pageSize, '\0'));
    return b;
}

const std::vector<Variant>& variants() {
    static const std::vector<Variant> list = {
        // libmdb once looped for ever here, its memory growing past 1.7 GB.
        {"cut at 148675", "DateTestDatabase.mdb", [](QByteArray b) { return b.left(148675); }},
        {"cut at 2 pages", "DateTestDatabase.mdb", [](QByteArray b) { return b.left(8192); }},
        {"cut in the first page", "nwind.mdb", [](QByteArray b) { return b.left(1000); }},
        {"cut at half", "nwind.mdb", [](QByteArray b) { return b.left(b.size() / 2); }},
        {"Jet version unknown", "DateTestDatabase.mdb", [](QByteArray b) { return flipped(b, 0x14); }},
        {"catalogue page zeroed", "DateTestDatabase.mdb", [](QByteArray b) { return zeroed(b, 2, 4096); }},
        {"catalogue page zeroed (Jet 3)", "nwind.mdb", [](QByteArray b) { return zeroed(b, 2, 2048); }},
        {"table page zeroed (ACE)", "ASampleDatabase.accdb", [](QByteArray b) { return zeroed(b, 5, 4096); }},
    };
    return list;
}

} // namespace

TEST(DamagedAccess, ReadOrRefusedInItalianWithinTheLimits) {
    QTemporaryDir dir;
    AccessReader::setLimits({2000, 1000, qint64(512) << 20});
    const QString target = dir.filePath(QStringLiteral("Destinazione.mdb"));
    test::createTestArchive(target);
    const QByteArray targetBefore = test::fileBytes(target);
    for (const Variant& v : variants()) {
        SCOPED_TRACE(v.what);
        const QString path = dir.filePath(QString::fromLatin1(v.what).replace(u' ', u'_') + QStringLiteral(".mdb"));
        ASSERT_TRUE(test::writeFile(path, v.damage(fixture(v.source))));
        QElapsedTimer clock;
        clock.start();
        try {
            const AccessReader reader(path);
            for (const QString& table : reader.tables().mid(0, 3)) {
                auto rows = reader.openTable(table);
                QStringList values;
                while (rows->next(values)) {
                }
            }
        } catch (const exchange::ExchangeError& e) {
            EXPECT_EQ(e.code(), exchange::ExchangeError::BadInput);
            EXPECT_TRUE(test::has(e.description(), QStringLiteral("file Access danneggiato")));
        }
        EXPECT_LT(clock.elapsed(), 4 * 3000);

        // As a user runs it: nothing of libmdb on the terminal, the archive untouched on a refusal.
        const test::BatchRun r = test::runBatch({QStringLiteral("import-file"), path, target, QStringLiteral("--table"),
                                                 QStringLiteral("DateTest")},
                                                30000);
        EXPECT_TRUE(r.exitCode == 0 || r.exitCode == 1) << r.exitCode << qPrintable(r.err);
        EXPECT_FALSE(test::looksEnglish(r.err)) << qPrintable(r.err);
        if (r.exitCode != 0)
            EXPECT_EQ(test::fileBytes(target), targetBefore);
    }
    AccessReader::setLimits({});
}
