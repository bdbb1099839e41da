#include "TestEnvironment.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

namespace velomar::test {

namespace {
std::unique_ptr<QTemporaryDir>& root() {
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

void redirectUserFolders() {
    auto& dir = root();
    if (dir)
        return;
    dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/velomar-test-XXXXXX"));
    const QString base = dir->path();
    QDir().mkpath(base + QStringLiteral("/config"));
    QDir().mkpath(base + QStringLiteral("/data"));
    qputenv("XDG_CONFIG_HOME", (base + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (base + QStringLiteral("/data")).toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, base + QStringLiteral("/config"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, base + QStringLiteral("/config-system"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, base + QStringLiteral("/config"));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, base + QStringLiteral("/config-system"));
}

QString testRoot() { return root() ? root()->path() : QString(); }

QString sourcePath(const QString& relative) {
    return QStringLiteral(VELOMAR_SOURCE_DIR) + QLatin1Char('/') + relative;
}

QString binaryPath(const QString& relative) {
    return QStringLiteral(VELOMAR_BINARY_DIR) + QLatin1Char('/') + relative;
}

} // namespace velomar::test
