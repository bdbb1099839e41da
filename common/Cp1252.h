#pragma once

#include <QByteArray>
#include <QString>

namespace velomar::common {

// Windows-1252, the 8-bit code page of the program's text files (Setup.ini, reminder
// files, exports). Qt has no codec for it without ICU, so it is done here.
class Cp1252 {
public:
    // Characters the code page cannot hold become '?'; replaced counts them.
    static QByteArray encode(const QString& text, qsizetype* replaced = nullptr);
    // Same, appended to out; returns the number of characters replaced.
    static qsizetype append(QByteArray& out, QStringView text);
    static QString decode(const QByteArray& bytes);
};

} // namespace velomar::common
