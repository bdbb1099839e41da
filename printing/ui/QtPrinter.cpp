#include "printing/ui/QtPrinter.h"

#include "printing/PrinterError.h"

#include <QPageSize>

namespace velomar::printing {

QtPrinter::QtPrinter(const QPrinterInfo& info)
    : m_name(info.printerName()), m_printer(info, QPrinter::HighResolution) {
    if (info.isNull() || !m_printer.isValid())
        throw PrinterError(PrinterError::NoPrinter,
                           QStringLiteral("Stampante \"%1\" non disponibile.").arg(m_name));
    m_printer.setFullPage(false);
    m_printer.setPageSize(QPageSize(QPageSize::A4));
    m_printer.setPageOrientation(QPageLayout::Portrait);
    m_printer.setColorMode(QPrinter::GrayScale);
    m_printer.setDocName(QStringLiteral("Velomar"));
}

QtPrinter::~QtPrinter() {
    // An unfinished document is dropped rather than sent half-printed.
    if (documentOpen() && painter().isActive())
        m_printer.abort();
    endPainting();
}

void QtPrinter::beginDocument(QPainter& painter, bool) {
    if (!m_printer.isValid())
        throw PrinterError(PrinterError::NoPrinter,
                           QStringLiteral("Stampante \"%1\" non disponibile.").arg(m_name));
    if (!painter.begin(&m_printer))
        throw PrinterError(PrinterError::Problem,
                           QStringLiteral("La stampante \"%1\" non ha accettato il lavoro.").arg(m_name));
}

void QtPrinter::finishDocument(QPainter& painter) {
    const bool ok = painter.end();
    if (!ok || m_printer.printerState() == QPrinter::Error)
        throw PrinterError(PrinterError::Problem,
                           QStringLiteral("Errore nell'invio del lavoro a \"%1\".").arg(m_name));
}

void QtPrinter::discardDocument(QPainter& painter) {
    m_printer.abort();
    painter.end();
}

void QtPrinter::applyOrientation(Orientation orientation) {
    m_printer.setPageOrientation(orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                       : QPageLayout::Portrait);
}

std::vector<PrinterEntry> QtPrinterProvider::printers() const {
    std::vector<PrinterEntry> list;
    const QString def = QPrinterInfo::defaultPrinterName();
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        list.push_back({name, providerId(), name == def});
    return list;
}

std::unique_ptr<Printer> QtPrinterProvider::create(const PrinterEntry& entry,
                                                   common::DialogService&) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(entry.deviceName);
    if (info.isNull())
        throw PrinterError(PrinterError::NoPrinter,
                           QStringLiteral("Stampante \"%1\" non disponibile.").arg(entry.deviceName));
    return std::make_unique<QtPrinter>(info);
}

QSizeF QtPrinterProvider::printableSize(const PrinterEntry& entry, Orientation orientation) const {
    const QPrinterInfo info = QPrinterInfo::printerInfo(entry.deviceName);
    if (info.isNull())
        return PrinterProvider::printableSize(entry, orientation);
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid())
        return PrinterProvider::printableSize(entry, orientation);
    printer.setFullPage(false);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                     : QPageLayout::Portrait);
    return printer.pageLayout().paintRect(QPageLayout::Millimeter).size();
}

QMarginsF QtPrinterProvider::printableMargins(const PrinterEntry& entry, Orientation orientation) const {
    const QPrinterInfo info = QPrinterInfo::printerInfo(entry.deviceName);
    if (info.isNull())
        return PrinterProvider::printableMargins(entry, orientation);
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid())
        return PrinterProvider::printableMargins(entry, orientation);
    printer.setFullPage(false);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                     : QPageLayout::Portrait);
    const QRectF full = printer.pageLayout().fullRect(QPageLayout::Millimeter);
    const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Millimeter);
    return {paint.left() - full.left(), paint.top() - full.top(), full.right() - paint.right(),
            full.bottom() - paint.bottom()};
}

} // namespace velomar::printing
