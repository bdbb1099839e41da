#include "TestEnvironment.h"

#include "exchange/AccessReader.h"

#include <gtest/gtest.h>

// The window tests need widgets; the others a plain GUI application (fonts, images).
#ifdef VELOMAR_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

int main(int argc, char** argv) {
    velomar::test::redirectUserFolders();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    // Access files are read by velomar-batch of this build, in a child process.
    velomar::exchange::AccessReader::setHelperProgram(velomar::test::binaryPath(QStringLiteral("velomar-batch")));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
