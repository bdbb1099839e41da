#include "exchange/ExportWriter.h"

#include "common/Cp1252.h"
#include "common/OutputGuard.h"
#include "common/SystemErrorText.h"
#include "exchange/ExchangeError.h"

#include <QFileInfo>
#include <QSaveFile>

namespace velomar::exchange {

namespace {
constexpr qsizetype kChunk = 256 * 1024;
}

ExportWriter::ExportWriter(const QString& target, Encoding encoding)
    : m_file(std::make_unique<QSaveFile>(target)), m_target(target), m_encoding(encoding) {
    open();
}

ExportWriter::ExportWriter(std::unique_ptr<QSaveFile> file, Encoding encoding)
    : m_file(std::move(file)), m_target(m_file->fileName()), m_encoding(encoding) {
    open();
}

ExportWriter::~ExportWriter() {
    if (!m_committed && m_file->isOpen())
        m_file->cancelWriting(); // QSaveFile then drops the temporary file
}

void ExportWriter::open() {
    if (QFileInfo(m_target).isDir())
        fail(QStringLiteral("Il nome indicato è una cartella."));
    common::OutputGuard::check(m_target);
    // Never write in place: a failure must not leave a half file behind.
    m_file->setDirectWriteFallback(false);
    if (!m_file->open(QIODevice::WriteOnly))
        fail(common::SystemErrorText::ofFile(*m_file));
    m_buffer.reserve(kChunk + 4096);
    if (m_encoding == Encoding::Utf8WithBom)
        m_buffer.append("\xEF\xBB\xBF"); // spreadsheets read the file as UTF-8 only with it
}

void ExportWriter::writeLines(const QStringList& lines) {
    for (const QString& line : lines) {
        write(line);
        write(u"\r\n");
    }
}

void ExportWriter::write(QStringView text) {
    if (m_encoding == Encoding::Windows1252)
        m_replaced += common::Cp1252::append(m_buffer, text);
    else
        m_buffer.append(text.toUtf8());
    if (m_buffer.size() >= kChunk)
        flush();
}

void ExportWriter::flush() {
    if (m_buffer.isEmpty())
        return;
    if (m_file->write(m_buffer) != m_buffer.size())
        fail(common::SystemErrorText::ofFile(*m_file));
    m_buffer.resize(0); // keeps the capacity, unlike clear()
}

void ExportWriter::commit() {
    flush();
    // QSaveFile::commit() does not see a failure of the last buffered write (a full disk
    // under a small file): the file would be kept empty. Flushing first reports it.
    if (!m_file->flush() || !m_file->commit())
        fail(common::SystemErrorText::ofFile(*m_file));
    m_committed = true;
}

void ExportWriter::fail(const QString& reason) {
    if (m_file->isOpen())
        m_file->cancelWriting();
    throw ExchangeError(ExchangeError::WriteFailed,
                      QStringLiteral("Impossibile scrivere il file %1.\n%2")
                          .arg(QFileInfo(m_target).fileName(), reason));
}

} // namespace velomar::exchange
