#include "printing/CalibratedPrinter.h"

namespace velomar::printing {

CalibratedPrinter::CalibratedPrinter(Printer& inner, PrinterCalibration calibration)
    : m_inner(inner), m_calibration(calibration) {
    setTextStretch(1, 1);
}

CalibratedPrinter::CalibratedPrinter(std::unique_ptr<Printer> inner, PrinterCalibration calibration)
    : m_owned(std::move(inner)), m_inner(*m_owned), m_calibration(calibration) {
    setTextStretch(1, 1);
}

std::unique_ptr<Printer> CalibratedPrinter::wrap(std::unique_ptr<Printer> inner,
                                                 const PrinterCalibration& calibration) {
    if (calibration.isIdentity())
        return inner;
    return std::make_unique<CalibratedPrinter>(std::move(inner), calibration);
}

QPointF CalibratedPrinter::map(QPointF p) const {
    // The scale is about the paper's corner, not the printable area's.
    const QPointF origin = m_inner.paperOrigin();
    return m_calibration.apply(p + origin) - origin;
}

QPointF CalibratedPrinter::unmap(QPointF p) const {
    const QPointF origin = m_inner.paperOrigin();
    const PrinterCalibration& c = m_calibration;
    const QPointF paper = p + origin;
    return QPointF((paper.x() - c.offsetXMm) * 100 / c.scaleXPercent,
                   (paper.y() - c.offsetYMm) * 100 / c.scaleYPercent) - origin;
}

void CalibratedPrinter::placeInner() {
    const QPointF at = map({m_x, m_y});
    m_inner.setCurrentX(at.x());
    // Setting y ends the inner printer's line: only when it has to move.
    if (m_inner.currentY() != at.y())
        m_inner.setCurrentY(at.y());
}

void CalibratedPrinter::printLine(const QString& text) {
    placeInner();
    const double before = m_inner.currentY();
    m_inner.printLine(text);
    // A page turned by the inner printer starts its layout again at the top.
    if (m_inner.currentY() < before)
        m_y = unmap({0, m_inner.currentY()}).y();
    else
        m_y += lineHeight();
    m_x = 0;
}

void CalibratedPrinter::printText(const QString& text) {
    placeInner();
    const double before = m_inner.currentY();
    m_inner.printText(text);
    if (m_inner.currentY() < before)
        m_y = unmap({0, m_inner.currentY()}).y();
    m_x += textWidth(text);
}

void CalibratedPrinter::moveToColumn(int column) {
    // Columns are counted from the left edge of the layout, in the font's own widths.
    m_inner.moveToColumn(column);
    m_x = m_inner.currentX();
}

void CalibratedPrinter::setClip(double x, double y, double width, double height) {
    const QPointF a = map({x, y});
    const QPointF b = map({x + width, y + height});
    m_inner.setClip(a.x(), a.y(), b.x() - a.x(), b.y() - a.y());
}

void CalibratedPrinter::drawLine(double x1, double y1, double x2, double y2, double widthMm) {
    const QPointF a = map({x1, y1});
    const QPointF b = map({x2, y2});
    m_inner.drawLine(a.x(), a.y(), b.x(), b.y(), widthMm);
}

void CalibratedPrinter::setTextStretch(double horizontal, double vertical) {
    m_inner.setTextStretch(horizontal * m_calibration.scaleXPercent / 100,
                           vertical * m_calibration.scaleYPercent / 100);
}

void CalibratedPrinter::endDoc() {
    m_inner.endDoc();
    m_x = 0;
    m_y = 0;
}

void CalibratedPrinter::abortDoc() {
    m_inner.abortDoc();
    m_x = 0;
    m_y = 0;
}

void CalibratedPrinter::finishJob() {
    m_inner.finishJob();
    m_x = 0;
    m_y = 0;
}

} // namespace velomar::printing
