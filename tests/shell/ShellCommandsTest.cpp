#include "FakeDesktop.h"
#include "support/CommandRun.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velomar::common::MsgIcon;
using velomar::common::MsgResult;
using velomar::shell::ShellCommands;
using velomar::test::ScriptedDialogs;

namespace {
class ShellCommandsTest : public ::testing::Test {
protected:
    velomar::test::FakeDesktop desk;
    ScriptedDialogs dialogs;
    ShellCommands shell{dialogs, desk.launcher()};
};
} // namespace

TEST_F(ShellCommandsTest, FoldersOpenInTheFileManagerOrTheUserIsTold) {
    QTemporaryDir dir;
    shell.openFolder(dir.filePath("Export")); // created when missing
    ASSERT_EQ(desk.opened.size(), 1);
    EXPECT_EQ(desk.opened[0].toLocalFile(), dir.filePath("Export"));
    EXPECT_TRUE(QDir(dir.filePath("Export")).exists());
    shell.explore();
    EXPECT_EQ(desk.opened.last().toLocalFile(), QDir::homePath());
    EXPECT_TRUE(dialogs.shown().empty());

    desk.fileManager = false;
    shell.openFolder(dir.path());
    EXPECT_EQ(dialogs.shown().back().icon, MsgIcon::Exclamation);
    EXPECT_TRUE(dialogs.lastMessage().contains(dir.path()));
}

TEST(ShellCommands, FolderHandlerIsLookedUpInTheDesktopRegistry) {
    // A private registry: first empty, then with a file manager for folders.
    QTemporaryDir home;
    const QByteArray keys[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CONFIG_DIRS",
                               "XDG_DATA_DIRS", "XDG_CURRENT_DESKTOP"};
    std::vector<std::pair<QByteArray, QByteArray>> saved;
    for (const QByteArray& k : keys) {
        saved.emplace_back(k, qgetenv(k.constData()));
        qputenv(k.constData(),
                k == "XDG_CURRENT_DESKTOP" ? QByteArray() : home.path().toLocal8Bit());
    }
    const bool withoutHandler = ShellCommands::folderHandlerInstalled();
    QDir(home.path()).mkpath("applications");
    ASSERT_TRUE(
        velomar::test::writeFile(home.filePath("applications/cartelle.desktop"),
                                 "[Desktop Entry]\nType=Application\nName=Cartelle\nExec=true %U\n"
                                 "MimeType=inode/directory;\n"));
    ASSERT_TRUE(
        velomar::test::writeFile(home.filePath("mimeapps.list"),
                                 "[Default Applications]\ninode/directory=cartelle.desktop\n"));
    const bool withHandler = ShellCommands::folderHandlerInstalled();
    for (const auto& [k, v] : saved)
        qputenv(k.constData(), v);
    if (QStandardPaths::findExecutable("xdg-mime").isEmpty())
        GTEST_SKIP() << "xdg-mime is not installed";
    EXPECT_FALSE(withoutHandler);
    EXPECT_TRUE(withHandler);
}

TEST_F(ShellCommandsTest, SearchInformationAndFloppyFormatUseInstalledToolsElseExplain) {
    shell.findFiles();
    shell.systemInformation();
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("La ricerca dei file non è disponibile"));
    EXPECT_EQ(dialogs.messages()[1],
              "Le informazioni sul sistema non sono attualmente disponibili.");
    EXPECT_TRUE(desk.started.isEmpty());

    desk.installed = {"catfish", "gnome-system-monitor", "hardinfo"};
    dialogs.clear();
    shell.findFiles();
    shell.systemInformation();
    EXPECT_TRUE(dialogs.shown().empty());
    ASSERT_EQ(desk.started.size(), 2);
    EXPECT_EQ(desk.started[0], "/usr/bin/catfish --path=" + QDir::homePath());
    EXPECT_EQ(desk.started[1], "/usr/bin/hardinfo"); // first of the list wins

    // Formatting needs a ready drive and a confirmation.
    shell.formatFloppy(1);
    EXPECT_EQ(desk.drivesAsked, QStringList{"b:"});
    EXPECT_EQ(dialogs.lastMessage(),
              "Il Drive [b:] non è pronto oppure\r\nil Floppy-Disk manca o è difettoso !");
    EXPECT_EQ(dialogs.shown().back().icon, MsgIcon::Exclamation);

    desk.floppyReady = true;
    desk.installed = {"mkfs.fat"};
    dialogs.answerMessage(MsgResult::No);
    shell.formatFloppy(0);
    EXPECT_TRUE(desk.ran.isEmpty()); // nothing erased without a Yes
    dialogs.answerMessage(MsgResult::Yes);
    shell.formatFloppy(0);
    EXPECT_EQ(desk.ran, QStringList{"/usr/bin/mkfs.fat -I /dev/fd0"});
    EXPECT_EQ(dialogs.lastMessage(), "Formattazione del Drive [a:] terminata.");

    desk.installed = {"gnome-disks", "mkfs.fat"};
    shell.formatFloppy(0);
    EXPECT_EQ(desk.started.last(), "/usr/bin/gnome-disks --block-device /dev/fd0 --format-device");
    EXPECT_EQ(desk.ran.size(), 1);
}
