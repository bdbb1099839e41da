#pragma once

#include <QString>
#include <stdexcept>

namespace velomar::common {

// Root of the core's exception family. code follows the program's failure numbers
// (printer failures 5, 482, 484; SQLite result codes for the database layer).
class AppError : public std::runtime_error {
public:
    AppError(int code, const QString& description)
        : std::runtime_error(description.toStdString()), m_code(code),
          m_description(description) {}

    int code() const noexcept { return m_code; }
    const QString& description() const noexcept { return m_description; }

    // "Errore" + blank + number + line break + description: the program's text for an
    // unexpected failure.
    QString standardText() const {
        return QStringLiteral("Errore %1\r\n%2").arg(m_code).arg(m_description);
    }

private:
    int m_code;
    QString m_description;
};

} // namespace velomar::common
