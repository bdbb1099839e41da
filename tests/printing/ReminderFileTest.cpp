#include "MemorySource.h"
#include "support/CommandRun.h"
#include "support/ScriptedDialogs.h"

#include "common/AppError.h"
#include "printing/ReminderFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;
using common::MsgResult;

TEST(ReminderFile, ExactBytesInCp1252WithCrLf) {
    test::MemorySource source({test::address("1234567", "", "NICOLÒ", "ANDREA", "", "", "", "FORLÌ", ""),
                               test::address("12", "", "ROSSI", "", "", "", "", "", "")});
    const QByteArray bytes = ReminderFile::compose(ReminderFile::shopHeader(), QDate(2024, 3, 5),
                                                   QStringLiteral("Auguri"), source);
    const QByteArray expected = "Stampa per TIPOGRAFIA del 05/03/2024\r\n"
                                "Descrizione: Auguri\r\n"
                                "2 indirizzi\r\n" +
                                QByteArray(70, '=') + "\r\n"
                                "12345 - NICOL\xD2 ANDREA (FORL\xCC)\r\n"
                                "12    - ROSSI  ()\r\n";
    EXPECT_EQ(bytes, expected);
    test::MemorySource empty;
    EXPECT_EQ(ReminderFile::compose(ReminderFile::singleHeader(), QDate(2024, 3, 5), {}, empty),
              "Stampa Etichette SINGOLE del 05/03/2024\r\n0 indirizzi\r\n" + QByteArray(70, '=') + "\r\n");
}

TEST(ReminderFile, NamesStayInsideTheFolderAndOverwriteAsksFirst) {
    for (const QString bad : {"../fuori", "a/b", "a\\b", "..", "CON", "nul", "a?b", "  ", "."})
        EXPECT_TRUE(ReminderFile::nameProblem(bad)) << bad.toStdString();
    EXPECT_FALSE(ReminderFile::nameProblem("2024-03-05_14-07-09"));
    EXPECT_FALSE(ReminderFile::nameProblem("Natale 2024"));

    QTemporaryDir dir;
    ASSERT_TRUE(test::writeFile(dir.filePath("vecchio.txt"), "un contenuto più lungo di quello nuovo, da sostituire per intero"));

    int tick = 0;
    const auto clock = [&tick] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, tick++)); };
    test::ScriptedDialogs dialogs;
    dialogs.answerInput(QStringLiteral("../fuori")); // refused, asked again
    dialogs.answerMessage(MsgResult::Ok);
    dialogs.answerInput(QStringLiteral("vecchio"));  // exists: No, asked again
    dialogs.answerMessage(MsgResult::No);
    dialogs.answerInput(QStringLiteral("vecchio"));  // exists: Yes
    dialogs.answerMessage(MsgResult::Yes);
    const auto path = ReminderFile::askPath(dialogs, dir.path(), ReminderFile::shopTitle(), clock);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, dir.filePath("vecchio.txt"));
    std::vector<QString> proposals;
    for (const auto& s : dialogs.shown())
        if (s.kind == test::ScriptedDialogs::Shown::Kind::Input) {
            proposals.push_back(s.defaultText);
            EXPECT_EQ(s.title, "Stampe per Tipografia - Promemoria");
        }
    EXPECT_EQ(proposals, (std::vector<QString>{"2024-03-05_14-07-00", "2024-03-05_14-07-01", "2024-03-05_14-07-02"}));
    EXPECT_TRUE(dialogs.messages()[0].startsWith("Nome del File non valido !"));
    EXPECT_EQ(dialogs.messages()[1], "File esistente. Sovrascriverlo ?");

    ReminderFile::write(*path, "nuovo\r\n");
    EXPECT_EQ(test::fileBytes(*path), "nuovo\r\n");

    dialogs.answerInput(QStringLiteral("   "));
    EXPECT_FALSE(ReminderFile::askPath(dialogs, dir.path(), ReminderFile::singleTitle(), clock));
    dialogs.answerInput(std::nullopt);
    EXPECT_FALSE(ReminderFile::askPath(dialogs, dir.path(), ReminderFile::singleTitle(), clock));

    EXPECT_THROW(ReminderFile::write(dir.filePath("manca/x.txt"), "x"), common::AppError);
    EXPECT_FALSE(QFile::exists(dir.filePath("manca/x.txt")));
}
