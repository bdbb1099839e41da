#include "TestEnvironment.h"

#include "exchange/AccessReader.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    velomar::test::redirectUserFolders();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Access files are read by velomar-batch of this build, in a child process.
    velomar::exchange::AccessReader::setHelperProgram(velomar::test::binaryPath(QStringLiteral("velomar-batch")));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
