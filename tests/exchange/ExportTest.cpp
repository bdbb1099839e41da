#include "support/MemorySource.h"
#include "ExchangeTest.h"
#include "exchange/ExchangeError.h"
#include "exchange/ExportFormat.h"
#include "exchange/ExportJob.h"
#include "exchange/ExportWriter.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

using namespace velomar;
using archive::AddressRecord;
using exchange::ExportJob;
using exchange::ExportRequest;
using exchange::ExportWriter;
using exchange::FieldMask;

namespace {

using VectorSource = test::MemorySource;

AddressRecord address(std::initializer_list<std::pair<int, QString>> values) {
    AddressRecord r;
    for (const auto& [field, text] : values)
        r[field] = text;
    return r;
}

QByteArray expected(const char* name) {
    return test::fileBytes(test::exchangeData(name));
}

FieldMask only(std::initializer_list<int> fields) {
    FieldMask mask{};
    for (int f : fields)
        mask[std::size_t(f)] = true;
    return mask;
}

// A save file whose disk fills up after a given number of bytes.
class FullDiskFile : public QSaveFile {
public:
    FullDiskFile(const QString& name, qint64 room) : QSaveFile(name), m_room(room) {}

protected:
    qint64 writeData(const char* data, qint64 len) override {
        if (len > m_room) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        m_room -= len;
        return QSaveFile::writeData(data, len);
    }

private:
    qint64 m_room;
};

std::vector<AddressRecord> sampleRows(int n) {
    std::vector<AddressRecord> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(address({{0, QString::number(i + 1)}, {2, QStringLiteral("Cognome%1").arg(i)},
                                {5, QStringLiteral("Via Lunga %1").arg(i)}}));
    return rows;
}

} // namespace

TEST(Export, TheTextFormatMatchesItsFilesAndAFailureLeavesTheOldFileIntact) {
    VectorSource source({
        address({{0, "12"}, {14, "AB"}, {2, "Rossi"}, {3, "Mario"}, {5, "Via Roma 1"},
                 {6, "20100"}, {7, "Milano"}, {8, "MI"}, {9, "I"}, {10, "02 123456"}}),
        address({{0, "7"}, {1, "Avv."}, {2, "Bianchi"}, {4, "Ruolo"}, {6, "20100"},
                 {8, "MI"}, {11, "02 999"}, {13, "b@x.it"},
                 {15, QStringLiteral("caffè € 5 Ω")}, {16, "riga 1\r\nriga 2"}}),
        address({{0, "8"}, {2, "Verdi"}, {3, "Luca"}, {4, "Sindaco"}, {5, "Via Po, 3"},
                 {7, "Torino"}, {10, "011 1"}, {12, "333 2"}}),
    });
    QTemporaryDir dir;
    const QString target = dir.filePath("out.txt");
    ExportRequest request;
    request.fields.fill(true);
    request.description = QStringLiteral("Soci 2026");
    request.date = QDate(2026, 12, 6);
    const auto result = ExportJob::toFile(source, request, target);
    EXPECT_EQ(result.addresses, 3);
    EXPECT_EQ(result.replaced, 1); // the omega
    EXPECT_EQ(test::fileBytes(target), expected("export_all_fields.txt"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.txt"}); // no leftovers

    // Unticked fields count as empty; an empty range writes the header alone.
    VectorSource some({
        address({{0, "1"}, {2, "Rossi"}, {9, "I"}}),
        address({{0, "2"}, {2, "Bianchi"}, {8, "TO"}}),
        address({{0, "3"}, {14, "Z1"}, {13, "x@y.it"}}),
    });
    request.fields = only({9, 14}); // NAZ and GR
    request.description.clear();
    request.date = QDate(2027, 2, 1);
    ExportJob::toFile(some, request, target);
    EXPECT_EQ(test::fileBytes(target), expected("export_some_fields.txt"));

    VectorSource empty;
    request.date = QDate(2026, 12, 6);
    EXPECT_EQ(ExportJob::toFile(empty, request, target).addresses, 0);
    EXPECT_EQ(test::fileBytes(target), expected("export_header_only.txt"));

    // A failure leaves the old file intact.
    const QString old = dir.filePath("old.txt");
    ASSERT_TRUE(test::writeFile(old, "old content\r\n"));
    request.fields.fill(true);

    // Disk full in the middle of the blocks.
    {
        VectorSource many(sampleRows(20000)); // well past one write chunk
        ExportWriter writer(std::make_unique<FullDiskFile>(old, 300 * 1024));
        const QString text = test::refusalOf([&] { ExportJob::run(many, request, writer); }).text;
        EXPECT_TRUE(test::has(text, "old.txt"));
        EXPECT_TRUE(test::has(text, "Disco pieno")); // never the system's English
    }
    EXPECT_EQ(test::fileBytes(old), QByteArray("old content\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"old.txt", "out.txt"}));

    // Disk full on the last bytes, found only when the file is committed.
    {
        VectorSource few(sampleRows(3));
        ExportWriter writer(std::make_unique<FullDiskFile>(old, 100));
        EXPECT_THROW(ExportJob::run(few, request, writer), exchange::ExchangeError);
    }
    EXPECT_EQ(test::fileBytes(old), QByteArray("old content\r\n"));

    // A complete export replaces the old file.
    VectorSource again(sampleRows(2));
    ExportJob::toFile(again, request, old);
    EXPECT_TRUE(test::fileBytes(old).startsWith("("));
}

TEST(Export, PlaceLineOfBlanksIsWrittenEmpty) {
    QString out;
    FieldMask all{};
    all.fill(true);
    exchange::ExportFormat::appendBlock(out, address({{0, "4"}, {2, "Neri"}, {6, " "}}), all);
    EXPECT_EQ(out, QStringLiteral("Nr. 4\r\nNeri  \r\n\r\n") + QString(70, u'-') + QStringLiteral("\r\n"));
    // An empty identity line is still left out.
    out.clear();
    exchange::ExportFormat::appendBlock(out, address({{6, " "}, {7, "Roma"}}), only({6, 7}));
    EXPECT_EQ(out, QStringLiteral("Roma\r\n") + QString(70, u'-') + QStringLiteral("\r\n"));
}

TEST(Export, CsvIsUtf8WithBomQuotedAsRfc4180AndHeadedByOurFieldNames) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    VectorSource source({address({{0, "12"}, {2, QStringLiteral("D'Alì, Rossi")}, {3, "Mario"},
                                  {6, "00820"}, {15, QStringLiteral("detto \"il Bello\"\nsecondo rigo")},
                                  {16, QStringLiteral("àè€")}}),
                         address({{2, "Verdi"}})});
    ExportRequest request;
    request.format = exchange::ExportFileFormat::Csv;
    request.fields = only({0, 2, 3, 6, 15, 16});
    const auto result = ExportJob::toFile(source, request, path);
    EXPECT_EQ(result.addresses, 2);
    EXPECT_EQ(result.replaced, 0);
    EXPECT_EQ(test::fileBytes(path),
              QByteArray(
                  "\xEF\xBB\xBFNR,COGNOME,NOME1,CAP,NOTE,APPUNTI\r\n"
                  "12,\"D'Al\xC3\xAC, Rossi\",Mario,00820,\"detto \"\"il Bello\"\"\nsecondo rigo\","
                  "\xC3\xA0\xC3\xA8\xE2\x82\xAC\r\n"
                  ",Verdi,,,,\r\n"));
}

TEST(Export, VCardCardsEscapedFoldedAndTyped) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.vcf");
    VectorSource source({address({{1, "Dott."}, {2, "Rossi"}, {3, "Mario"}, {4, "Sindaco"},
                                  {5, "Via Roma 1; scala B"}, {6, "20100"}, {7, "MILANO"}, {8, "MI"},
                                  {10, "02 123456"}, {11, "02 654321"}, {12, "333 1234567"},
                                  {13, "m@x.it"}, {14, "AB"}, {15, "riga 1\nriga 2, \\ fine"},
                                  {16, QString(70, QChar(0xE0))}}),
                         address({{2, "Bianchi"}, {7, "ROMA"}})});
    ExportRequest request;
    request.format = exchange::ExportFileFormat::VCard;
    request.fields.fill(true);
    request.fields[11] = false; // an unticked field is not written
    ExportJob::toFile(source, request, path);
    const QByteArray a70 = QString(70, QChar(0xE0)).toUtf8();
    EXPECT_EQ(
        test::fileBytes(path),
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Rossi;Mario;;Dott.;\r\nFN:Dott. Mario Rossi\r\n"
        "TITLE:Sindaco\r\nADR;TYPE=home:;;Via Roma 1\\; scala B;MILANO;MI;20100;\r\n"
        "TEL;TYPE=voice:02 123456\r\nTEL;TYPE=cell:333 1234567\r\nEMAIL;TYPE=internet:m@x.it\r\n"
        "NOTE:riga 1\\nriga 2\\, \\\\ fine\\n" +
            a70.left(44) + "\r\n " + a70.mid(44, 74) + "\r\n " + a70.mid(118) +
            "\r\nCATEGORIES:AB\r\nEND:VCARD\r\n"
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Bianchi;;;;\r\nFN:Bianchi\r\nADR;TYPE=home:;;;ROMA;;;"
            "\r\n"
            "END:VCARD\r\n");
}
