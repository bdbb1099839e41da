#include "exchange/ExchangeError.h"
#include "exchange/SourceFactory.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using exchange::ExchangeError;

namespace {

// The description of the source, or "!" and the message that refused it (at open or read).
QString readOutcome(const QString& path, qint64* rows = nullptr) {
    try {
        auto source = exchange::openSource(path, {});
        QStringList values;
        qint64 n = 0;
        while (source->next(values))
            ++n;
        if (rows)
            *rows = n;
        return source->description();
    } catch (const ExchangeError& e) {
        return QStringLiteral("!") + e.description();
    }
}

QString write(QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    QFile file(dir.filePath(QString::fromLatin1(name)));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
}

} // namespace

TEST(SourceFactory, ReaderChosenByTheFirstLine) {
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* outcome; // start of the description, or of the refusal after "!"
        qint64 rows;
    } cases[] = {
        {"nota.csv", "Cognome,Note\r\nRossi,BEGIN:VCARD\r\nBianchi,\"BEGIN:VCARD\r\nEND:VCARD\"\r\n", "CSV", 2},
        {"schede.txt", "\r\n  \r\nBEGIN:VCARD\r\nN:Rossi;\r\nEND:VCARD\r\n", "vCard", 1},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        qint64 rows = 0;
        const QString outcome = readOutcome(write(dir, c.name, c.bytes), &rows);
        EXPECT_TRUE(outcome.startsWith(QString::fromUtf8(c.outcome))) << c.name << ": " << outcome.toStdString();
        EXPECT_EQ(rows, c.rows) << c.name;
    }
}
