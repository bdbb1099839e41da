#pragma once

#include <QString>

namespace velomar::common {

// Facts about the machine collected once at start-up and shown by the about box.
struct SystemInfo {
    QString windowsDir; // the system's shared data folder, ending with '/'
    QString systemDir;  // the system's program folder, ending with '/'
    QString tempDir;
    QString platformCode = QStringLiteral("2");
    QString productName;   // "Debian GNU/Linux 12 (bookworm)"
    QString productId;     // kernel type and version
    QString versionText;   // "" when there is nothing more to say
    QString versionNumber; // product version ("12"), else the kernel version
    QString screenResolution; // "1920 x 1080"
    QString screenDpi;        // "96"

    // Reads the facts from the operating system and the primary screen.
    static SystemInfo collect();
    // "1920 x 1080" of the primary screen; "" without a screen.
    static QString screenResolutionText();
    static QString screenWidthText();
    static QString screenHeightText();
    // Logical DPI of the primary screen, rounded ("96"); "" without a screen.
    static QString screenDpiText();
};

} // namespace velomar::common
