#include "settings/SetupIni.h"
#include "support/CommandRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velomar::settings::SenderLines;
using velomar::settings::SetupIni;

using velomar::test::fileBytes;
using velomar::test::writeFile;

TEST(SetupIni, WritesTwelveQuotedRecordsInCp1252AndQuotesCannotBreakThem) {
    EXPECT_FALSE(SetupIni::isStorable("Ditta \"Il Faro\""));
    EXPECT_FALSE(SetupIni::isStorable(QString::fromUtf8("Łódź")));
    EXPECT_TRUE(SetupIni::isStorable(QString::fromUtf8("Città, d'Italia €")));

    QTemporaryDir dir;
    const QString path = dir.filePath("Setup.ini");
    SenderLines s;
    s.sender1 = {"Associazione Età Libera", "Via Roma, 12", "", "00100 Roma", "", ""};
    s.sender2[0] = "Ditta \"Il Faro\"";
    s.sender2[5] = "Tel. 06/1234";
    ASSERT_TRUE(SetupIni::write(path, s).ok);

    const QByteArray bytes = fileBytes(path);
    EXPECT_TRUE(bytes.startsWith("\"Associazione Et\xE0 Libera\"\r\n\"Via Roma, 12\"\r\n\"\"\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 12);
    EXPECT_EQ(bytes.count('\n'), 12);
    EXPECT_TRUE(bytes.endsWith("\"Tel. 06/1234\"\r\n"));

    const auto back = SetupIni::read(path);
    ASSERT_TRUE(back.ok);
    s.sender2[0] = "Ditta 'Il Faro'";
    EXPECT_EQ(back.senders, s);
}

TEST(SetupIni, ShortEmptyAndDamagedFilesNeverShiftLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Setup.ini");

    ASSERT_TRUE(writeFile(path, ""));
    auto r = SetupIni::read(path);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.senders, SenderLines());

    // Six records only: sender 1 filled, sender 2 empty; a last line without CR LF counts.
    ASSERT_TRUE(writeFile(path, "\"a\"\r\n\"b\"\r\n\"c\"\r\n\"d\"\r\n\"e\"\r\n\"f\""));
    r = SetupIni::read(path);
    EXPECT_EQ(r.senders.sender1[5], "f");
    EXPECT_EQ(r.senders.sender2[0], "");

    // Binary bytes, an unquoted line, an over-long line, LF-only endings.
    QByteArray damaged;
    damaged += QByteArray("\"Ro\0ssi\x01\"\n", 11);
    damaged += "  senza virgolette  \n";
    damaged += "\"" + QByteArray(5000, 'x') + "\"\n";
    damaged += "\"dopo\" , resto ignorato\n";
    ASSERT_TRUE(writeFile(path, damaged));
    r = SetupIni::read(path);
    EXPECT_EQ(r.senders.sender1[0], "Rossi");
    EXPECT_EQ(r.senders.sender1[1], "senza virgolette");
    EXPECT_EQ(r.senders.sender1[2].size(), SetupIni::MaxLineLength);
    EXPECT_EQ(r.senders.sender1[3], "dopo");

    // A missing file is reported with the program's error text.
    r = SetupIni::read(dir.filePath("manca.ini"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errorText(), "Errore 53\r\nFile non trovato");
}

TEST(SetupIni, WriteReplacesAReadOnlyFileAndReportsAnUnwritableFolder) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Setup.ini");
    ASSERT_TRUE(writeFile(path, "\"vecchio\"\r\n"));
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    SenderLines s;
    s.sender1[0] = "nuovo";
    EXPECT_TRUE(SetupIni::write(path, s).ok);
    EXPECT_EQ(SetupIni::read(path).senders.sender1[0], "nuovo");

    const auto w = SetupIni::write(dir.filePath("manca/Setup.ini"), s);
    EXPECT_FALSE(w.ok);
    EXPECT_TRUE(w.errorText().startsWith("Errore "));
}
