#include "printing/PreviewPrinter.h"

#include "printing/PdfPrinter.h"

#include <QPageSize>
#include <cmath>

namespace velomar::printing {

namespace {
constexpr double kMeasureDpi = 1200; // the PDF printer's resolution
constexpr double kMmPerInch = 25.4;
} // namespace

PreviewPrinter::PreviewPrinter(qint64 wantedPage, double dpi)
    : m_wanted(wantedPage), m_dpi(dpi), m_measure(&m_nowhere), m_scrap(1, 1, QImage::Format_RGB32) {
    m_measure.setResolution(int(kMeasureDpi));
    m_measure.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                        QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    // The scrap page takes the same fonts at the same size as the real one.
    const int dpm = int(std::lround(kMeasureDpi / kMmPerInch * 1000));
    m_scrap.setDotsPerMeterX(dpm);
    m_scrap.setDotsPerMeterY(dpm);
    const double in = PdfPrinter::InsetMm;
    m_portrait = m_landscape = QMarginsF(in, in, in, in);
    setDrawing(wantedPage > 0);
}

PreviewPrinter::~PreviewPrinter() { endPainting(); }

QMarginsF PreviewPrinter::printableInset() const {
    return m_measure.pageLayout().orientation() == QPageLayout::Landscape ? m_landscape : m_portrait;
}

void PreviewPrinter::startPage(QPainter& painter, qint64 page) {
    if (painter.isActive())
        painter.end();
    if (page != m_wanted) {
        // Drawing still happens, on one pixel: the engine runs exactly as for the PDF.
        painter.begin(&m_scrap);
        return;
    }
    const QSizeF mm = m_measure.pageLayout().fullRect(QPageLayout::Millimeter).size();
    m_image = QImage(int(std::lround(mm.width() / kMmPerInch * m_dpi)),
                     int(std::lround(mm.height() / kMmPerInch * m_dpi)), QImage::Format_RGB32);
    // Painted in 1200 dpi units like the PDF, so fonts in points take the PDF's size.
    const int dpm = int(std::lround(kMeasureDpi / kMmPerInch * 1000));
    m_image.setDotsPerMeterX(dpm);
    m_image.setDotsPerMeterY(dpm);
    m_image.fill(Qt::white);
    m_reached = true;
    if (painter.begin(&m_image)) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(m_dpi / kMeasureDpi, m_dpi / kMeasureDpi);
    }
}

void PreviewPrinter::beginDocument(QPainter& painter, bool) { startPage(painter, pagesPrinted() + 1); }

bool PreviewPrinter::turnPage(QPainter& painter) {
    startPage(painter, pagesPrinted() + 1);
    return painter.isActive();
}

void PreviewPrinter::finishDocument(QPainter& painter) {
    if (painter.isActive())
        painter.end();
    // The image keeps the screen's resolution for whoever shows or saves it.
    if (!m_image.isNull()) {
        const int dpm = int(std::lround(m_dpi / kMmPerInch * 1000));
        m_image.setDotsPerMeterX(dpm);
        m_image.setDotsPerMeterY(dpm);
    }
}

void PreviewPrinter::discardDocument(QPainter& painter) { finishDocument(painter); }

void PreviewPrinter::applyOrientation(Orientation orientation) {
    m_measure.setPageOrientation(orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                       : QPageLayout::Portrait);
}

} // namespace velomar::printing
