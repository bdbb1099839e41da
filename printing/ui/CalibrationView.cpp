#include "printing/ui/CalibrationView.h"

#include <QPainter>
#include <algorithm>

namespace velomar::printing::ui {

namespace {
constexpr int kFrame = 3;
}

CalibrationView::CalibrationView(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Disegno delle etichette spostate dalla calibrazione"));
    setMinimumSize(120, 160);
}

void CalibrationView::setFormat(const SheetFormat& format) {
    m_format = format;
    update();
}

void CalibrationView::setCalibration(const PrinterCalibration& calibration) {
    m_calibration = calibration;
    update();
}

QTransform CalibrationView::toWidget() const {
    const QRectF area = QRectF(rect()).adjusted(kFrame, kFrame, -kFrame, -kFrame);
    const QSizeF paper = m_format.paperSize();
    const double scale = std::max(0.01, std::min(area.width() / paper.width(), area.height() / paper.height()));
    return QTransform(scale, 0, 0, scale, area.x() + (area.width() - paper.width() * scale) / 2,
                      area.y() + (area.height() - paper.height() * scale) / 2);
}

QRectF CalibrationView::moved(const QRectF& mm) const {
    // The move of each corner, magnified.
    const auto at = [this](QPointF p) { return p + (m_calibration.apply(p) - p) * Magnified; };
    return QRectF(at(mm.topLeft()), at(mm.bottomRight()));
}

QRectF CalibrationView::movedLabelRect(int sheetIndex) const {
    if (sheetIndex < 1 || sheetIndex > m_format.labelsPerSheet())
        return {};
    return toWidget().mapRect(moved(m_format.physicalLabel(m_format.positionOf(sheetIndex))));
}

void CalibrationView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QTransform t = toWidget();
    p.fillRect(t.mapRect(QRectF(QPointF(0, 0), m_format.paperSize())), Qt::white);
    p.setPen(QPen(Qt::darkGray, 1));
    p.drawRect(t.mapRect(QRectF(QPointF(0, 0), m_format.paperSize())));
    QPen designed(QColor(150, 150, 150), 1, Qt::DashLine);
    QPen landed(QColor(20, 80, 200), 1.5);
    for (int i = 1; i <= m_format.labelsPerSheet(); ++i) {
        const QRectF label = m_format.physicalLabel(m_format.positionOf(i));
        p.setPen(designed);
        p.drawRect(t.mapRect(label));
        p.setPen(landed);
        p.drawRect(movedLabelRect(i));
    }
}

} // namespace velomar::printing::ui
