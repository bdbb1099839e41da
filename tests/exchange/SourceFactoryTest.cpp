#include "exchange/SourceFactory.h"
#include "ExchangeTest.h"
#include "exchange/ExchangeError.h"

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

TEST(SourceFactory, ReaderChosenByTheFirstLineAndBinaryFilesRefused) {
    const QByteArray text = "Cognome,Note\r\n" + QByteArray("Rossi,nota\r\n").repeated(30000);
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* outcome; // start of the description, or of the refusal after "!"
        qint64 rows;
    } cases[] = {
        {"nota.csv",
         "Cognome,Note\r\nRossi,BEGIN:VCARD\r\nBianchi,\"BEGIN:VCARD\r\nEND:VCARD\"\r\n", "CSV", 2},
        {"schede.txt", "\r\n  \r\nBEGIN:VCARD\r\nN:Rossi;\r\nEND:VCARD\r\n", "vCard", 1},
        {"larga.csv", test::utf16(QStringLiteral("Cognome;Città\r\nRossi;Forlì\r\n")), "CSV", 1},
        {"foto.csv", QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16),
         "!Il file \"foto.csv\" è un'immagine PNG: non è un file di testo.", 0},
        {"foto.vcf", "\xFF\xD8\xFF\xE0 JFIF BEGIN:VCARD",
         "!Il file \"foto.vcf\" è un'immagine JPEG", 0},
        {"doc.csv", "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj",
         "!Il file \"doc.csv\" è un documento PDF", 0},
        {"foglio.csv", QByteArray("PK\x03\x04\x14\0\x06\0", 8),
         "!Il file \"foglio.csv\" è un archivio ZIP", 0},
        {"prog.txt",
         QByteArray("\x7F"
                    "ELF\x02\x01\x01\0\0\0\0\0",
                    12),
         "!Il file \"prog.txt\" è un programma", 0},
        {"nul.csv", QByteArray("Cognome,Nome\r\nRossi\0,Mario\r\n", 28),
         "!Il file \"nul.csv\" contiene byte nulli", 0},
        {"nul-dopo.csv", text + QByteArray("Verdi\0\r\n", 8),
         "!Il file \"nul-dopo.csv\" contiene byte nulli", 0},
        {"database.csv", test::fileBytes(test::exchangeData("access/nwind.mdb")),
         "!Indicare la tabella", 0}, // read as Access
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        qint64 rows = 0;
        const QString outcome = readOutcome(write(dir, c.name, c.bytes), &rows);
        EXPECT_TRUE(outcome.startsWith(QString::fromUtf8(c.outcome))) << c.name << ": " << outcome.toStdString();
        EXPECT_EQ(rows, c.rows) << c.name;
    }
}

TEST(SourceFactory, ALineLongerThanOneMegabyteStopsTheRead) {
    const QByteArray huge(3 << 20, 'x');
    const QByteArray almost(1000 * 1000, 'y');
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* outcome;
    } cases[] = {
        {"riga.csv", "Cognome,Note\r\nRossi,a\r\nBianchi," + huge + "\r\n", "!La riga 3 è più lunga di 1 MB"},
        {"virgolette.csv", "Cognome,Note\r\nRossi,\"" + QByteArray("riga\r\n").repeated(300000) + "\"\r\n",
         "!La riga 2 è più lunga di 1 MB"},
        {"senza-a-capo.csv", huge, "!La riga 1 è più lunga di 1 MB"},
        {"quasi.csv", "Cognome,Note\r\nRossi," + almost + "\r\n", "CSV"},
        {"riga.vcf", "BEGIN:VCARD\r\nN:Rossi;\r\nNOTE:" + huge + "\r\nEND:VCARD\r\n", "!La riga 3 è più lunga di 1 MB"},
        {"piegata.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Rossi;\r\nNOTE:a\r\n" + QByteArray(" piegata\r\n").repeated(200000),
         "!La riga 4 è più lunga di 1 MB"},
        {"quasi.vcf", "BEGIN:VCARD\r\nN:Rossi;\r\nNOTE:" + almost + "\r\nEND:VCARD\r\n", "vCard"},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString outcome = readOutcome(write(dir, c.name, c.bytes));
        EXPECT_TRUE(outcome.startsWith(QString::fromUtf8(c.outcome))) << c.name << ": " << outcome.left(200).toStdString();
    }
}
