#pragma once

#include <QString>

namespace velomar::common {

// The file-size text of the status bar: "2 Kbyte  (2048 bytes)",
// "1.206 Mbyte  (1234567 bytes)" (the kilobyte count, grouped in the Italian way).
class SizeText {
public:
    static QString forBytes(qint64 bytes);
    // Size text of a file; "" when the file cannot be read.
    static QString forFile(const QString& path);
};

} // namespace velomar::common
