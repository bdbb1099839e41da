#include "exchange/CsvReader.h"
#include "ExchangeTest.h"
#include "exchange/CsvParser.h"
#include "exchange/CsvSniffer.h"
#include "exchange/TextEncoding.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using exchange::CsvFormat;
using exchange::CsvParser;
using exchange::CsvReader;
using exchange::ExchangeError;
using exchange::TextEncoding;

namespace {

QString csvData(const QString& name) {
    return test::exchangeData("csv/" + name);
}

} // namespace

TEST(TextEncodingTest, DetectsAndDecodesTheUsualEncodings) {
    EXPECT_EQ(TextEncoding::detect("\xEF\xBB\xBFNome"), TextEncoding::Utf8);
    EXPECT_EQ(TextEncoding::detect("Citt\xC3\xA0;Forl\xC3\xAC"), TextEncoding::Utf8);
    EXPECT_EQ(TextEncoding::detect("\xFF\xFEN\0o\0"), TextEncoding::Utf16Le);
    EXPECT_EQ(TextEncoding::detect(QByteArrayView("\xFE\xFF\0N\0o", 6)), TextEncoding::Utf16Be);
    // Without BOM, by the zero bytes.
    EXPECT_EQ(TextEncoding::detect(QByteArrayView("N\0o\0m\0e\0;\0C\0A\0P\0", 16)),
              TextEncoding::Utf16Le);
    // 8-bit Italian text, which a detector may call Latin-1: read as Windows-1252.
    EXPECT_EQ(TextEncoding::detect("Citt\xE0 di Forl\xEC, caff\xE8 \x80 2, perch\xE9 cos\xEC"),
              TextEncoding::Windows1252);
    // A sample cut inside a UTF-8 character is still UTF-8.
    EXPECT_EQ(TextEncoding::detect("Citt\xC3"), TextEncoding::Utf8);

    EXPECT_EQ(TextEncoding::canonicalName("iso-8859-1"), TextEncoding::Windows1252);
    EXPECT_EQ(TextEncoding::canonicalName("UTF-16"), TextEncoding::Utf16Le);
    EXPECT_THROW(TextEncoding::canonicalName("KOI8-R"), ExchangeError);

    // Chunks split inside a character and a BOM at the start.
    TextEncoding utf8(TextEncoding::Utf8);
    QString text = utf8.decode("\xEF\xBB\xBF"
                               "Citt\xC3");
    text += utf8.decode("\xA0");
    EXPECT_EQ(text, QStringLiteral("Città"));
    TextEncoding wide(TextEncoding::Utf16Le);
    text = wide.decode("\xFF\xFE\xE0");
    text += wide.decode(QByteArrayView("\0", 1));
    EXPECT_EQ(text, QStringLiteral("à"));
    TextEncoding ansi(QStringLiteral("cp1252"));
    EXPECT_EQ(ansi.decode("\x80 caff\xE8"), QStringLiteral("€ caffè"));
}

TEST(TextEncodingTest, DecidedOnTheWholeFileAndEveryLossCounted) {
    // 84 KB of plain ASCII before the first 8-bit letter.
    const QByteArray head = "Cognome;Citta\r\n" + QByteArray("Rossi;Roma\r\n").repeated(7000);
    struct Case {
        const char* what;
        QByteArray tail;
        const char* forced;
        QString encoding;
        QString lastRow;
        qint64 replaced;
    } cases[] = {
        {"Windows-1252 after 64 KB", "Nicol\xF2;Forl\xEC\r\n", "", TextEncoding::Windows1252,
         QStringLiteral("Nicolò|Forlì"), 0},
        {"UTF-8 after 64 KB", "Nicol\xC3\xB2;Forl\xC3\xAC\r\n", "", TextEncoding::Utf8,
         QStringLiteral("Nicolò|Forlì"), 0},
        {"UTF-8 with one stray byte", "Nicol\xC3\xB2;Forl\xC3\xAC\r\nCaff\xE8;\xC3\xA0\r\n", "",
         TextEncoding::Utf8, QStringLiteral("Caff\uFFFD|à"), 1},
        {"U+FFFD written in the file", "Nicol\xEF\xBF\xBD;Forl\xC3\xAC\r\n", "", TextEncoding::Utf8,
         QStringLiteral("Nicol\uFFFD|Forlì"), 0},
        {"UTF-8 forced on Windows-1252", "Nicol\xF2;Forl\xEC\r\n", "utf8", TextEncoding::Utf8,
         QStringLiteral("Nicol\uFFFD|Forl\uFFFD"), 2},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        ASSERT_TRUE(test::writeFile(dir.filePath("tardi.csv"), head + c.tail));
        CsvFormat given;
        given.encoding = QString::fromLatin1(c.forced);
        CsvReader reader(dir.filePath("tardi.csv"), given);
        EXPECT_EQ(reader.format().encoding, c.encoding) << c.what;
        const auto rows = test::readRows(reader);
        ASSERT_FALSE(rows.isEmpty()) << c.what;
        EXPECT_EQ(rows.last().join(u'|'), c.lastRow) << c.what;
        const QString notes = reader.readNotes().join(u'\n');
        EXPECT_EQ(notes.isEmpty(), c.replaced == 0) << c.what;
        if (c.replaced > 0)
            EXPECT_TRUE(notes.endsWith(QStringLiteral(": %1.").arg(c.replaced))) << c.what << notes.toStdString();
    }
}

TEST(CsvParserTest, Rfc4180QuotingAcrossChunks) {
    const QString text = QStringLiteral("a,\"b,c\",\"d \"\"e\"\"\"\r\n"
                                        "\"x\r\ny\",,\r\n"
                                        "\r\n"
                                        "last,\"\"\"\",z");
    // Every split point must give the same records and lines.
    for (qsizetype split = 0; split <= text.size(); ++split) {
        CsvParser parser(u',');
        parser.append(QStringView(text).left(split));
        QList<QStringList> records;
        QList<qint64> lines;
        QStringList fields;
        while (parser.next(fields)) {
            records.append(fields);
            lines.append(parser.line());
        }
        parser.append(QStringView(text).mid(split));
        parser.close();
        while (parser.next(fields)) {
            records.append(fields);
            lines.append(parser.line());
        }
        ASSERT_EQ(records.size(), 4) << split;
        EXPECT_EQ(records[0], (QStringList{"a", "b,c", "d \"e\""})) << split;
        EXPECT_EQ(records[1], (QStringList{"x\r\ny", "", ""})) << split;
        EXPECT_EQ(records[2], QStringList{""}) << split;
        EXPECT_EQ(records[3], (QStringList{"last", "\"", "z"})) << split;
        EXPECT_EQ(lines, (QList<qint64>{1, 2, 4, 5})) << split;
    }

    const test::Refusal open = test::refusalOf([] {
        CsvParser parser(u';');
        parser.append(u"a;\"never closed\r\nb;c\r\n");
        parser.close();
        QStringList fields;
        parser.next(fields);
    });
    EXPECT_EQ(open.code, ExchangeError::BadInput); // an open quote is refused
    EXPECT_TRUE(open.text.contains("riga 1"));
}

TEST(CsvReaderTest, DetectsFormatsOfCommonExports) {
    struct Case {
        const char* file;
        QString encoding;
        QChar delimiter;
        bool header;
    } cases[] = {
        {"google-contacts.csv", TextEncoding::Utf8, u',', true},
        {"outlook.csv", TextEncoding::Utf8, u',', true},
        {"italiano-1252.csv", TextEncoding::Windows1252, u';', true},
        {"unicode-utf16.txt", TextEncoding::Utf16Le, u'\t', true},
        {"edge-pipe.csv", TextEncoding::Utf8, u'|', false},
    };
    for (const Case& c : cases) {
        const CsvFormat f = CsvReader::detect(csvData(c.file));
        EXPECT_EQ(f.encoding, c.encoding) << c.file;
        EXPECT_EQ(f.delimiter, c.delimiter) << c.file;
        EXPECT_EQ(f.hasHeader, c.header) << c.file;
    }

    CsvReader google(csvData("google-contacts.csv"));
    EXPECT_EQ(google.columns().size(), 27);
    EXPECT_EQ(google.columns()[3], "Family Name");
    QList<qint64> lines;
    auto rows = test::readRows(google, &lines);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0][8], "Cliente dal 2019,\nchiamare \"dopo\" le 15");
    EXPECT_EQ(rows[0][17], "Via Garibaldi 12\n00184 Roma RM\nItalia");
    EXPECT_EQ(rows[1][3], QStringLiteral("Müller"));
    EXPECT_EQ(lines, (QList<qint64>{2, 6}));

    CsvReader outlook(csvData("outlook.csv"));
    EXPECT_EQ(outlook.columns().first(), "First Name"); // BOM not part of the name
    rows = test::readRows(outlook);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0][8], "Corso Vittorio Emanuele II, 45");
    EXPECT_EQ(rows[1][14], QStringLiteral("Forlì"));
    EXPECT_TRUE(outlook.description().contains("con BOM"));

    CsvReader italian(csvData("italiano-1252.csv"));
    EXPECT_EQ(italian.columns(), (QStringList{"COGNOME", "NOME", "INDIRIZZO", "CAP", "CITTA",
                                              "PROV", "TELEFONO", "NOTE"}));
    rows = test::readRows(italian);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0][1], QStringLiteral("Niccolò"));
    EXPECT_EQ(rows[0][3], "184"); // as the spreadsheet left it; padding is the importer's
    EXPECT_EQ(rows[0][7], QStringLiteral("caffè € 2"));
    EXPECT_EQ(rows[1][6], "");
    EXPECT_EQ(rows[2][7], "due; punti");
    EXPECT_EQ(italian.description(),
              "CSV, codifica Windows-1252, separatore punto e virgola, con riga di intestazione");

    CsvReader wide(csvData("unicode-utf16.txt"));
    EXPECT_EQ(wide.columns()[2], QStringLiteral("Città"));
    rows = test::readRows(wide);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0][2], QStringLiteral("København"));
    EXPECT_EQ(rows[1][0], QStringLiteral("Šimić"));
}

TEST(CsvReaderTest, HeaderlessEdgeCasesAndOverrides) {
    CsvReader edge(csvData("edge-pipe.csv"));
    EXPECT_EQ(edge.columns(), (QStringList{"Colonna 1", "Colonna 2", "Colonna 3"}));
    QList<qint64> lines;
    const auto rows = test::readRows(edge, &lines);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], (QStringList{"Rossi", "Via Roma 1|scala B", "riga uno\r\nriga due"}));
    EXPECT_EQ(rows[1], (QStringList{"Bianchi", "detto \"il Conte\"", ""}));
    EXPECT_EQ(rows[2], (QStringList{"Neri", "senza virgolette", "ultima\nriga"}));
    EXPECT_EQ(lines, (QList<qint64>{1, 4, 5}));

    // Overrides: the Italian file read as if it had no header, with its encoding named.
    CsvFormat given;
    given.hasHeader = false;
    given.encoding = QStringLiteral("latin1");
    CsvReader italian(csvData("italiano-1252.csv"), given);
    EXPECT_EQ(italian.format().delimiter, u';');
    EXPECT_EQ(italian.columns().size(), 8);
    QStringList values;
    ASSERT_TRUE(italian.next(values));
    EXPECT_EQ(values[0], "COGNOME");
    EXPECT_EQ(italian.position(), 1);

    // A forced delimiter that is not in the file: one column per line.
    given = {};
    given.delimiter = u'\t';
    CsvReader one(csvData("italiano-1252.csv"), given);
    EXPECT_EQ(one.columns().size(), 1);

    // Short and long rows fit the header; a blank file has no columns and no rows.
    QTemporaryDir dir;
    ASSERT_TRUE(test::writeFile(dir.filePath("misure.csv"),
                                "Cognome,Nome,CAP\nRossi\nBianchi,Anna,20100,extra\nVerdi,Pia,10100,,\n"));
    CsvReader sizes(dir.filePath("misure.csv"));
    ASSERT_TRUE(sizes.next(values));
    EXPECT_EQ(values, (QStringList{"Rossi", "", ""}));
    ASSERT_TRUE(sizes.next(values));
    EXPECT_EQ(values, (QStringList{"Bianchi", "Anna", "20100"}));
    ASSERT_TRUE(sizes.next(values)); // empty cells past the header lose nothing
    EXPECT_EQ(sizes.overlongRows(), 1);

    // Commas inside quoted values are not the delimiter.
    EXPECT_EQ(exchange::CsvSniffer::delimiter(u"\"Rossi, Mario\";\"Via Roma, 1\"\n\"Bianchi, Anna\";\"Via Po, 2\"\n"), u';');

    // Empty columns at the right of a header, as spreadsheets leave them; no known names.
    ASSERT_TRUE(test::writeFile(dir.filePath("colonne.csv"), "Socio;Tessera;;\r\nRossi;1024;;\r\n"));
    CsvReader club(dir.filePath("colonne.csv"));
    EXPECT_EQ(club.columns(), (QStringList{"Socio", "Tessera", "Colonna 3", "Colonna 4"}));

    ASSERT_TRUE(test::writeFile(dir.filePath("vuoto.csv"), {}));
    CsvReader nothing(dir.filePath("vuoto.csv"));
    EXPECT_TRUE(nothing.columns().isEmpty());
    EXPECT_FALSE(nothing.next(values));

    EXPECT_THROW(CsvReader(dir.filePath("manca.csv")), ExchangeError);
}
