#include "ExchangeTest.h"

#include "archive/Recordset.h"
#include "exchange/ExchangeBatch.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace velomar;

namespace {

// Text a user, a pasted document or another program can put in a field.
QStringList hostileValues() {
    QString control;
    for (char16_t c = 1; c < 32; ++c)
        control += QChar(c);
    control += QChar(0x7f);
    return {QStringLiteral("O'Brien"),
            QStringLiteral("\"Citato\" ''"),
            QStringLiteral("50% di sconto_%"),
            QStringLiteral("a*b?c#"),
            QStringLiteral("[x"),
            QStringLiteral("]!^-["),
            QStringLiteral("'; DROP TABLE TabMAIL; --"),
            QStringLiteral("Robert'); DELETE FROM TabMAIL WHERE ('1'='1"),
            QStringLiteral("%s%n%x{0}\\\\n"),
            control,
            QStringLiteral("a") + QChar(0) + QStringLiteral("b"),
            QString(10000, QChar(u'Ω')),
            QStringLiteral("Lunga ") + QString(10000, QLatin1Char('x')),
            QStringLiteral("北京 Ωμέγα Željko Łódź ﷺ 😀 \u200b\u202e"),
            QStringLiteral("€‰ŒŸ ÀÉÌÒÙ ß")};
}

} // namespace

// Every hostile value in every field goes in through the record set and comes out of
// count, export, import, labels and list unharmed; none is ever taken for SQL or a pattern.
TEST(HostileText, SurvivesEveryCommandAsStored) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("ostile.mdb");
    test::createTestArchive(mdb);
    const QStringList values = hostileValues();
    {
        archive::Database db(mdb, archive::Database::Mode::ReadWrite);
        archive::Recordset rs = archive::Recordset::open(db, QStringLiteral("TabMAIL"), archive::LockType::Optimistic);
        for (int row = 0; row < values.size(); ++row) {
            rs.addNew();
            for (int f = 1; f <= 16; ++f)
                rs.setValue(f, values[(row + f) % values.size()]);
            rs.update();
        }
    }
    const qint64 n = values.size();
    test::CommandRun r = test::runCommand("count", {mdb});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), QString::number(n));

    const QString txt = dir.filePath("out.txt");
    r = test::runCommand("export", {mdb, txt});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Esportati %1 indirizzi").arg(n)));
    EXPECT_TRUE(r.out.contains("sostituiti")); // the text outside Windows-1252
    const QByteArray bytes = test::fileBytes(txt);
    for (const char* kept : {"O'Brien", "'; DROP TABLE TabMAIL; --", "50% di sconto_%", "[x"})
        EXPECT_TRUE(test::has(bytes, kept));
    EXPECT_TRUE(bytes.contains(QByteArray("Lunga ") + QByteArray(10000, 'x'))); // written as stored

    const QString copy = dir.filePath("copia.mdb");
    test::createTestArchive(copy);
    r = test::runCommand("import", {mdb, copy});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList stored = test::storedRows(mdb);
    EXPECT_EQ(stored.size(), n); // no value was run as SQL
    EXPECT_EQ(test::storedRows(copy), stored);

    const QString pdf = dir.filePath("out.pdf");
    r = test::runCommand("labels", {mdb, "--pdf", pdf});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Etichette stampate: %1").arg(n)));
    for (const char* layout : {"", "--formatted"}) {
        QStringList args{mdb, "--pdf", pdf, "--fields", "COGNOME,NOME1,CITTA"};
        if (*layout)
            args << layout;
        r = test::runCommand("list", args);
        EXPECT_EQ(r.status, 0) << layout << r.err.toStdString();
        EXPECT_TRUE(test::has(r.out, QStringLiteral("Stampati %1 indirizzi").arg(n)));
    }

    // Values as group patterns: a malformed one is the user's typo (2), the others run.
    for (const QString& group : values) {
        const test::CommandRun labels = test::runCommand("labels", {mdb, "--pdf", pdf, "--group", group});
        const test::CommandRun imported = test::runCommand("import", {mdb, copy, "--group", group});
        if (group.trimmed().isEmpty() || group.trimmed().contains(QLatin1Char('['))) {
            EXPECT_EQ(imported.status, 2) << group.left(40).toStdString();
            if (!group.trimmed().isEmpty())
                EXPECT_EQ(labels.status, 2) << group.left(40).toStdString();
        } else {
            EXPECT_LE(labels.status, 1) << group.left(40).toStdString() << labels.err.toStdString();
            EXPECT_EQ(imported.status, 0) << group.left(40).toStdString() << imported.err.toStdString();
        }
        EXPECT_FALSE(labels.err.contains("corrotto")) << labels.err.toStdString();
    }
    EXPECT_EQ(test::countIn(mdb), n);
}
