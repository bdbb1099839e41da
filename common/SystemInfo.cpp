#include "common/SystemInfo.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QSysInfo>

#include <cmath>

namespace velomar::common {

namespace {
QScreen* primary() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? QGuiApplication::primaryScreen()
               : nullptr;
}
} // namespace

QString SystemInfo::screenWidthText() {
    QScreen* s = primary();
    return s ? QString::number(s->size().width()) : QString();
}

QString SystemInfo::screenHeightText() {
    QScreen* s = primary();
    return s ? QString::number(s->size().height()) : QString();
}

QString SystemInfo::screenResolutionText() {
    if (!primary())
        return {};
    return screenWidthText() + QStringLiteral(" x ") + screenHeightText();
}

QString SystemInfo::screenDpiText() {
    QScreen* s = primary();
    return s ? QString::number(qRound(s->logicalDotsPerInch())) : QString();
}

SystemInfo SystemInfo::collect() {
    SystemInfo info;
    // Nearest counterparts of the Windows and system folders on a Linux desktop.
    info.windowsDir = QStringLiteral("/usr/share/");
    info.systemDir = QStringLiteral("/usr/bin/");
    info.tempDir = QDir::tempPath();
    info.platformCode = QStringLiteral("2");
    info.productName = QSysInfo::prettyProductName();
    info.productId = QSysInfo::kernelType() + QLatin1Char(' ') + QSysInfo::kernelVersion() +
                     QStringLiteral(" (") + QSysInfo::currentCpuArchitecture() +
                     QLatin1Char(')');
    info.versionText = QString();
    info.versionNumber = QSysInfo::productVersion();
    if (info.versionNumber.isEmpty() || info.versionNumber == QLatin1String("unknown"))
        info.versionNumber = QSysInfo::kernelVersion();
    info.screenResolution = screenResolutionText();
    info.screenDpi = screenDpiText();
    return info;
}

} // namespace velomar::common
