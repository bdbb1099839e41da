#include "ExchangeTest.h"
#include "exchange/CsvParser.h"
#include "exchange/CsvReader.h"
#include "exchange/CsvSniffer.h"
#include "exchange/ExchangeError.h"
#include "exchange/SourceFactory.h"
#include "exchange/TextEncoding.h"
#include "exchange/VCardReader.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;

using exchange::CsvFormat;
using exchange::CsvParser;
using exchange::CsvReader;
using exchange::ExchangeError;
using exchange::TextEncoding;
using exchange::VCardReader;
using C = exchange::VCardReader;

namespace {

using Fields = std::vector<std::pair<int, QString>>;

void expectFields(const QStringList& card, const Fields& fields) {
    for (const auto& [column, value] : fields)
        EXPECT_EQ(card[column], value)
            << "column " << column << " of " << card.join(u'|').toStdString();
}

// The description of the source, or "!" and the message that refused it (at open or read).
QString readOutcome(const QString& path, qint64& rows) {
    try {
        auto source = exchange::openSource(path, {});
        QStringList values;
        qint64 n = 0;
        while (source->next(values))
            ++n;
        rows = n;
        return source->description();
    } catch (const ExchangeError& e) {
        return QStringLiteral("!") + e.description();
    }
}

} // namespace

TEST(TextEncodingTest, DetectsAndDecodesTheUsualEncodingsAndCountsEveryLoss) {
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

    // A file's encoding is decided on the whole of it, and every loss is counted.
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

// The formats of common exports, then headerless files, edge cases and overrides.
TEST(CsvReaderTest, HeaderlessEdgeCasesAndOverrides) {
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
        const CsvFormat f = CsvReader::detect(test::exchangeData(QStringLiteral("csv/") + c.file));
        EXPECT_EQ(f.encoding, c.encoding) << c.file;
        EXPECT_EQ(f.delimiter, c.delimiter) << c.file;
        EXPECT_EQ(f.hasHeader, c.header) << c.file;
    }

    // The Google export's quoted lines are read by FileImportEndToEnd.
    CsvReader outlook(test::exchangeData("csv/outlook.csv"));
    EXPECT_EQ(outlook.columns().first(), "First Name"); // BOM not part of the name
    EXPECT_TRUE(outlook.description().contains("con BOM"));

    CsvReader italian(test::exchangeData("csv/italiano-1252.csv"));
    EXPECT_EQ(italian.columns(), (QStringList{"COGNOME", "NOME", "INDIRIZZO", "CAP", "CITTA",
                                              "PROV", "TELEFONO", "NOTE"}));
    auto rows = test::readRows(italian);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0][1], QStringLiteral("Niccolò"));
    EXPECT_EQ(rows[0][3], "184"); // as the spreadsheet left it; padding is the importer's
    EXPECT_EQ(rows[0][7], QStringLiteral("caffè € 2"));
    EXPECT_EQ(rows[1][6], "");
    EXPECT_EQ(rows[2][7], "due; punti");
    EXPECT_EQ(italian.description(),
              "CSV, codifica Windows-1252, separatore punto e virgola, con riga di intestazione");

    CsvReader edge(test::exchangeData("csv/edge-pipe.csv"));
    EXPECT_EQ(edge.columns(), (QStringList{"Colonna 1", "Colonna 2", "Colonna 3"}));
    QList<qint64> lines;
    rows = test::readRows(edge, &lines);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], (QStringList{"Rossi", "Via Roma 1|scala B", "riga uno\r\nriga due"}));
    EXPECT_EQ(rows[1], (QStringList{"Bianchi", "detto \"il Conte\"", ""}));
    EXPECT_EQ(rows[2], (QStringList{"Neri", "senza virgolette", "ultima\nriga"}));
    EXPECT_EQ(lines, (QList<qint64>{1, 4, 5}));

    // Overrides: the Italian file read as if it had no header, with its encoding named.
    CsvFormat given;
    given.hasHeader = false;
    given.encoding = QStringLiteral("latin1");
    CsvReader headless(test::exchangeData("csv/italiano-1252.csv"), given);
    EXPECT_EQ(headless.format().delimiter, u';');
    EXPECT_EQ(headless.columns().size(), 8);
    QStringList values;
    ASSERT_TRUE(headless.next(values));
    EXPECT_EQ(values[0], "COGNOME");
    EXPECT_EQ(headless.position(), 1);

    // A forced delimiter that is not in the file: one column per line.
    given = {};
    given.delimiter = u'\t';
    CsvReader one(test::exchangeData("csv/italiano-1252.csv"), given);
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

TEST(VCardReaderTest, EveryVersionsTypesEncodingsEscapesAndFolding) {
    VCardReader reader(test::exchangeData("vcard/outlook-2.1.vcf"));
    EXPECT_EQ(reader.columns().size(), C::ColumnCount);
    EXPECT_EQ(reader.columns()[C::Street], "ADR.via");
    EXPECT_EQ(reader.description(), "vCard 2.1, codifica UTF-8");
    QList<qint64> lines;
    auto cards = test::readRows(reader, &lines);
    ASSERT_EQ(cards.size(), 2);
    EXPECT_EQ(lines, (QList<qint64>{1, 17}));

    expectFields(cards[0], {
        {C::Surname, "D'Agostino"}, {C::GivenName, QStringLiteral("Niccolò")}, {C::Prefix, "Dott."},
        {C::FormattedName, QStringLiteral("Dott. Niccolò D'Agostino")}, {C::Organization, "Studio D'Agostino"},
        {C::Department, "Amministrazione"}, {C::JobTitle, "Commercialista"},
        // HOME;PREF wins over the WORK address written first; CHARSET=ISO-8859-1 applied.
        {C::Street, "Via Po 5"}, {C::PostalCode, "00198"}, {C::AddressKind, "casa"},
        {C::WorkStreet, QStringLiteral("Via dell'Università 3")}, {C::WorkLocality, "Roma"},
        {C::WorkCountry, "Italia"}, {C::Phone, "06 1234567"}, {C::Mobile, "333 1234567"}, {C::Fax, "06 7654321"},
        {C::Email, "niccolo@example.it"}, {C::Categories, "Clienti, Roma"},
        // Soft line break, =0D=0A and =3D; no CHARSET but UTF-8 bytes.
        {C::Note, QStringLiteral("Prima riga\r\nseconda riga con caffè e un uguale = fine")}});
    expectFields(cards[1], {
        {C::Surname, "Gentile"}, {C::Phone, "075 2222222"}, // the PREF one, though second
        // A base64 photo block before it does not disturb; soft break inside the CAP.
        {C::Street, "Piazza IV Novembre 1"}, {C::PostalCode, "06121"}, {C::WorkStreet, ""},
        // 2.1 folding keeps the blank that starts the next line.
        {C::Note, "Nota lunga piegata su due righe"}});

    // 3.0 and 4.0: types, escapes and groups.
    VCardReader three(test::exchangeData("vcard/contacts-3.0.vcf"));
    cards = test::readRows(three);
    ASSERT_EQ(cards.size(), 2);
    expectFields(cards[0], {
        {C::Surname, QStringLiteral("Müller")}, {C::Prefix, "Dr."}, {C::JobTitle, QStringLiteral("Geschäftsführer")},
        // "item1." group prefix, type=pref, \n in the street.
        {C::Street, QStringLiteral("Hauptstraße 5, Hinterhaus")}, {C::Locality, "Berlin"}, {C::Region, ""},
        {C::Country, "Germany"}, {C::AddressKind, "lavoro"}, {C::WorkPostalCode, "10115"},
        {C::Phone, "+49 30 1234567"}, {C::Fax, "+49 30 7654321"}, {C::Mobile, "+49 170 1234567"},
        {C::Email, "j.mueller@example.de"}, {C::Categories, "Fornitori, Germania"},
        // Escapes and a 3.0 fold that drops its one blank.
        {C::Note, "Riga uno\nRiga due, con virgola; punto e virgola \\ barra e una riga piegata"}});
    expectFields(cards[1], {{C::Email, "lucia.bianchi@example.org"},
                            {C::Street, "Corso Vittorio Emanuele II, 45"}, {C::Phone, "011 5550000"}});

    VCardReader four(test::exchangeData("vcard/card-4.0.vcf"));
    EXPECT_EQ(four.description(), "vCard 4.0, codifica UTF-8");
    cards = test::readRows(four);
    ASSERT_EQ(cards.size(), 1);
    expectFields(cards[0], {
        {C::AdditionalNames, "Maria"},
        // PREF=1 picks the work address; its extended part joins the street.
        {C::Street, "Corso Como 10, Piano 3"}, {C::PostalCode, "20154"},
        {C::Phone, "+39-02-1234567"}, // TYPE="voice,home" and the tel: URI
        {C::Mobile, "+39-333-7654321"}, {C::Email, "anna.bianchi@example.org"}});
}

// The first value stays unless a later one is preferred; every BEGIN starts a card and lost
// ENDs are counted.
TEST(VCardReaderTest, TheFirstValueStaysUnlessALaterOneIsPreferred) {
    QTemporaryDir dir;
    ASSERT_TRUE(test::writeFile(dir.filePath("preferiti.vcf"),
                                "BEGIN:VCARD\nVERSION:3.0\nN:Rossi;Mario\nEMAIL:primo@example.it\n"
                                "EMAIL:secondo@example.it\nTEL;TYPE=CELL:333 1\n"
                                "TEL;TYPE=CELL,PREF:333 2\nTEL;TYPE=CELL:333 3\nEND:VCARD\n"));
    VCardReader preferring(dir.filePath("preferiti.vcf"));
    const auto preferred = test::readRows(preferring);
    ASSERT_EQ(preferred.size(), 1);
    EXPECT_EQ(preferred[0][C::Email], "primo@example.it");
    EXPECT_EQ(preferred[0][C::Mobile], "333 2");

    ASSERT_TRUE(test::writeFile(dir.filePath("testo.vcf"), "Cognome;Nome\nRossi;Mario\n"));
    EXPECT_THROW(VCardReader(dir.filePath("testo.vcf")), ExchangeError);
    EXPECT_THROW(VCardReader(dir.filePath("manca.vcf")), ExchangeError);

    // UTF-16 with BOM (some Windows exports), a nested AGENT card, no END at the end.
    const QString body = QStringLiteral(
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Rossi;Mario\r\nAGENT:\r\nBEGIN:VCARD\r\nN:Segretaria;"
        "Anna\r\nEND:VCARD\r\nEMAIL:uno@example.it\r\nEND:VCARD\r\nBEGIN:VCARD\r\nN:Città;Nè\r\n");
    QByteArray thousand = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Primo;\r\n"; // no END
    for (int i = 2; i <= 1000; ++i)
        thousand += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:C" + QByteArray::number(i) + ";\r\nEND:VCARD\r\n";
    struct Case {
        const char* what;
        QByteArray text;
        const char* surnames; // of the first cards, in order, '|'-separated
        qsizetype cards;
        int unclosed;
    } cases[] = {
        {"first of 1000 without END", thousand, "Primo|C2|C3", 1000, 1},
        {"stray BEGIN inside a card",
         "BEGIN:VCARD\nN:Uno;\nBEGIN:VCARD\nN:Due;\nEND:VCARD\nBEGIN:VCARD\nN:Tre;\nEND:VCARD\n",
         "Uno|Due|Tre", 3, 1},
        {"quoted-printable '=' before END",
         "BEGIN:VCARD\nVERSION:2.1\nN:Uno;\nNOTE;ENCODING=QUOTED-PRINTABLE:caff=C3=A8=\nEND:VCARD\n"
         "BEGIN:VCARD\nVERSION:2.1\nN:Due;\nEND:VCARD\n",
         "Uno|Due", 2, 0},
        {"quoted-printable '=' before BEGIN",
         "BEGIN:VCARD\nVERSION:2.1\nN:Uno;\nNOTE;QUOTED-PRINTABLE:x=\nbegin:vcard\nN:Due;\nEND:"
         "VCARD\n",
         "Uno|Due", 2, 1},
        {"AGENT card inside its owner",
         "BEGIN:VCARD\nVERSION:2.1\nN:Uno;\nAGENT:\nBEGIN:VCARD\nN:Agente;\nEND:VCARD\n"
         "EMAIL:uno@example.it\nEND:VCARD\nBEGIN:VCARD\nN:Due;\nEND:VCARD\n",
         "Uno|Due", 2, 0},
        {"AGENT card in UTF-16", test::utf16(body), "Rossi|Città", 2, 0},
        // Windows-1252 throughout and no CHARSET, beside a QP value in UTF-8.
        {"8-bit 2.1",
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Forl\xEC;Niccol\xF2\r\nORG;ENCODING=QUOTED-"
         "PRINTABLE;CHARSET=UTF-8:Caff=C3=A8 S.p.A.\r\nEND:VCARD\r\n",
         "Forlì", 1, 0},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(test::writeFile(dir.filePath("schede.vcf"), c.text));
        VCardReader reader(dir.filePath("schede.vcf"));
        const auto cards = test::readRows(reader);
        ASSERT_EQ(cards.size(), c.cards) << c.what;
        const QStringList surnames = QString::fromUtf8(c.surnames).split(u'|');
        for (qsizetype i = 0; i < surnames.size(); ++i)
            EXPECT_EQ(cards[i][C::Surname], surnames[i]) << c.what;
        const QString notes = reader.readNotes().join(u'\n');
        EXPECT_EQ(notes.contains(QStringLiteral(": %1.").arg(c.unclosed)), c.unclosed > 0) << c.what;
        if (surnames.size() == 2 && QByteArray(c.what).startsWith("quoted"))
            EXPECT_FALSE(cards[0][C::Note].contains("END", Qt::CaseInsensitive)) << c.what;
        if (QByteArray(c.what).startsWith("AGENT"))
            EXPECT_EQ(cards[0][C::Email], "uno@example.it");
        if (QByteArray(c.what).startsWith("8-bit")) {
            EXPECT_EQ(reader.description(), "vCard 2.1, codifica Windows-1252");
            expectFields(cards[0], {{C::GivenName, "Niccolò"}, {C::Organization, "Caffè S.p.A."}});
        }
    }
}

// Binary files are refused, and so is a line longer than 1 MB, in CSV and vCard alike.
TEST(SourceFactory, ReaderChosenByTheFirstLineAndBinaryFilesRefused) {
    const QByteArray text = "Cognome,Note\r\n" + QByteArray("Rossi,nota\r\n").repeated(30000);
    const QByteArray huge(3 << 20, 'x');
    const QByteArray almost(1000 * 1000, 'y');
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
        {"prog.txt", QByteArray("\x7F\x45LF\x02\x01\x01\0\0\0\0\0", 12),
         "!Il file \"prog.txt\" è un programma", 0},
        {"nul.csv", QByteArray("Cognome,Nome\r\nRossi\0,Mario\r\n", 28),
         "!Il file \"nul.csv\" contiene byte nulli", 0},
        {"nul-dopo.csv", text + QByteArray("Verdi\0\r\n", 8),
         "!Il file \"nul-dopo.csv\" contiene byte nulli", 0},
        {"database.csv", test::fileBytes(test::exchangeData("access/nwind.mdb")),
         "!Indicare la tabella", 0}, // read as Access
        {"riga.csv", "Cognome,Note\r\nRossi,a\r\nBianchi," + huge + "\r\n",
         "!La riga 3 è più lunga di 1 MB", 0},
        {"virgolette.csv",
         "Cognome,Note\r\nRossi,\"" + QByteArray("riga\r\n").repeated(300000) + "\"\r\n",
         "!La riga 2 è più lunga di 1 MB", 0},
        {"senza-a-capo.csv", huge, "!La riga 1 è più lunga di 1 MB", 0},
        {"quasi.csv", "Cognome,Note\r\nRossi," + almost + "\r\n", "CSV", 1},
        {"riga.vcf", "BEGIN:VCARD\r\nN:Rossi;\r\nNOTE:" + huge + "\r\nEND:VCARD\r\n",
         "!La riga 3 è più lunga di 1 MB", 0},
        {"piegata.vcf",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Rossi;\r\nNOTE:a\r\n" +
             QByteArray(" piegata\r\n").repeated(200000),
         "!La riga 4 è più lunga di 1 MB", 0},
        {"quasi.vcf", "BEGIN:VCARD\r\nN:Rossi;\r\nNOTE:" + almost + "\r\nEND:VCARD\r\n", "vCard",
         1},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        qint64 rows = 0;
        ASSERT_TRUE(test::writeFile(dir.filePath(c.name), c.bytes));
        const QString outcome = readOutcome(dir.filePath(c.name), rows);
        EXPECT_TRUE(outcome.startsWith(QString::fromUtf8(c.outcome))) << c.name << ": " << outcome.left(200).toStdString();
        EXPECT_EQ(rows, c.rows) << c.name;
    }
}
