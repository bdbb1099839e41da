#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class QSaveFile;

namespace velomar::exchange {

// Writes a text file of CR LF lines in Windows-1252 (or UTF-8 for the exchange formats)
// into a temporary file beside the target and renames it over the target only on commit:
// a failure at any point leaves the old file as it was. Throws ExchangeError.
class ExportWriter {
public:
    enum class Encoding { Windows1252, Utf8, Utf8WithBom };

    explicit ExportWriter(const QString& target, Encoding encoding = Encoding::Windows1252);
    // For tests: a save file that may fail on purpose (a full disk).
    explicit ExportWriter(std::unique_ptr<QSaveFile> file, Encoding encoding = Encoding::Windows1252);
    ~ExportWriter(); // without commit the temporary file is removed
    ExportWriter(const ExportWriter&) = delete;
    ExportWriter& operator=(const ExportWriter&) = delete;

    void writeLines(const QStringList& lines); // each ended by CR LF
    void write(QStringView text);              // as it stands
    void commit();

    // Characters the code page cannot hold, written as '?'.
    qsizetype replacedCount() const { return m_replaced; }

private:
    void open();
    void flush();
    [[noreturn]] void fail(const QString& reason);

    std::unique_ptr<QSaveFile> m_file;
    QString m_target;
    Encoding m_encoding;
    QByteArray m_buffer;
    qsizetype m_replaced = 0;
    bool m_committed = false;
};

} // namespace velomar::exchange
