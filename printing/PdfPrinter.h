#pragma once

#include "printing/PaintPrinter.h"

#include <QPdfWriter>
#include <QSaveFile>
#include <memory>

namespace velomar::printing {

// The built-in PDF printer: one PDF file per job, every document of the job as
// consecutive pages. Its printable area starts 1/6 inch (4.23 mm) from the top and left
// edges, like a laser printer's, so a PDF printed at actual size lands where a direct
// print would. The file appears only when the job finishes; a failed job leaves none.
class PdfPrinter : public PaintPrinter {
public:
    static constexpr double InsetMm = 25.4 / 6.0;

    explicit PdfPrinter(const QString& path, const QString& deviceName = defaultName());
    ~PdfPrinter() override;

    static QString defaultName() { return QStringLiteral("File PDF"); }

    QString deviceName() const override { return m_deviceName; }
    const QString& path() const { return m_path; }

    void finishJob() override;

protected:
    QPagedPaintDevice& device() override { return m_writer; }
    const QPagedPaintDevice& device() const override { return m_writer; }
    QMarginsF printableInset() const override;
    void beginDocument(QPainter& painter, bool firstOfJob) override;
    void finishDocument(QPainter& painter) override;
    void discardDocument(QPainter& painter) override;
    void applyOrientation(Orientation orientation) override;

private:
    QString m_path;
    QString m_deviceName;
    QSaveFile m_file;
    QPdfWriter m_writer; // after m_file: destroyed first
    bool m_aborted = false;
    bool m_finished = false;
};

} // namespace velomar::printing
