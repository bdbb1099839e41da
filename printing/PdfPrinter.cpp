#include "printing/PdfPrinter.h"

#include "common/OutputGuard.h"
#include "common/SystemErrorText.h"
#include "printing/PrinterError.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSize>

namespace velomar::printing {

PdfPrinter::PdfPrinter(const QString& path, const QString& deviceName)
    : m_path(path), m_deviceName(deviceName), m_file(path), m_writer(&m_file) {
    common::OutputGuard::check(path);
    m_writer.setResolution(1200);
    m_writer.setCreator(QStringLiteral("Velomar"));
    m_writer.setTitle(QFileInfo(path).completeBaseName());
    m_writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

PdfPrinter::~PdfPrinter() {
    // Ends the painter while the writer and the file still exist; without a commit the
    // half-written file is discarded by QSaveFile.
    endPainting();
    if (!m_finished)
        m_file.cancelWriting();
}

QMarginsF PdfPrinter::printableInset() const { return {InsetMm, InsetMm, InsetMm, InsetMm}; }

void PdfPrinter::beginDocument(QPainter& painter, bool) {
    if (m_finished)
        throw PrinterError(PrinterError::Problem, QStringLiteral("Il lavoro di stampa è già concluso."));
    if (painter.isActive()) {
        if (!m_writer.newPage())
            throw PrinterError(PrinterError::Problem, QStringLiteral("Impossibile aggiungere una pagina al PDF."));
        return;
    }
    if (!m_file.isOpen() && !m_file.open(QIODevice::WriteOnly)) {
        throw PrinterError(PrinterError::FileNotWritten,
                           QStringLiteral("Impossibile scrivere il file PDF \"%1\":\n%2")
                               .arg(QDir::toNativeSeparators(m_path), common::SystemErrorText::ofFile(m_file)));
    }
    if (!painter.begin(&m_writer))
        throw PrinterError(PrinterError::Problem, QStringLiteral("Impossibile creare il file PDF."));
}

void PdfPrinter::finishDocument(QPainter&) {
    // The next document continues the same file on a new page.
}

void PdfPrinter::discardDocument(QPainter&) {
    // Pages already in the stream cannot be taken back: the whole file is dropped.
    m_aborted = true;
}

void PdfPrinter::applyOrientation(Orientation orientation) {
    m_writer.setPageOrientation(orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                      : QPageLayout::Portrait);
}

void PdfPrinter::finishJob() {
    if (m_finished)
        return;
    endDoc();
    endPainting();
    m_finished = true;
    if (m_aborted || !m_file.isOpen()) {
        m_file.cancelWriting(); // failed job, or nothing printed: no file
        return;
    }
    // The flush reports a full disk that commit() alone would miss for a small file.
    if (!m_file.flush() || !m_file.commit())
        throw PrinterError(PrinterError::FileNotWritten,
                           QStringLiteral("Impossibile scrivere il file PDF \"%1\":\n%2")
                               .arg(QDir::toNativeSeparators(m_path), common::SystemErrorText::ofFile(m_file)));
}

} // namespace velomar::printing
