#include "printing/ui/SheetView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace velomar::printing::ui {

namespace {
constexpr int kFrame = 3; // pixels kept free around the paper
} // namespace

SheetView::SheetView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setAccessibleName(QStringLiteral("Disegno del foglio di etichette"));
}

void SheetView::setFormat(const SheetFormat& format) {
    m_format = format;
    if (m_start > m_format.labelsPerSheet())
        m_start = m_interactive ? 1 : 0;
    updateGeometry();
    update();
}

void SheetView::setInteractive(bool on) {
    m_interactive = on;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
    setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor);
    setToolTip(on ? QStringLiteral("Inizia la stampa da questa etichetta") : QString());
    if (on && m_start == 0)
        m_start = 1;
    update();
}

void SheetView::setStart(int sheetIndex) {
    const int n = m_format.labelsPerSheet();
    m_start = n > 0 ? std::clamp(sheetIndex, m_interactive ? 1 : 0, n) : 0;
    update();
}

QTransform SheetView::toWidget() const {
    const QRectF area = QRectF(rect()).adjusted(kFrame, kFrame, -kFrame, -kFrame);
    const QSizeF paper = m_format.paperSize();
    const double scale = std::max(0.01, std::min(area.width() / paper.width(), area.height() / paper.height()));
    const double x = area.x() + (area.width() - paper.width() * scale) / 2;
    const double y = area.y() + (area.height() - paper.height() * scale) / 2;
    return QTransform(scale, 0, 0, scale, x, y);
}

QRectF SheetView::labelRect(int sheetIndex) const {
    if (sheetIndex < 1 || sheetIndex > m_format.labelsPerSheet())
        return {};
    return toWidget().mapRect(m_format.physicalLabel(m_format.positionOf(sheetIndex)));
}

int SheetView::labelAt(QPointF point) const {
    const QPointF mm = toWidget().inverted().map(point);
    for (int k = 1; k <= m_format.labelsPerSheet(); ++k)
        if (m_format.physicalLabel(m_format.positionOf(k)).contains(mm))
            return k;
    return 0;
}

QSize SheetView::sizeHint() const {
    // About 190 pixels for the longer side of the paper.
    const QSizeF paper = m_format.paperSize();
    const double scale = 190 / std::max(paper.width(), paper.height());
    return QSize(int(paper.width() * scale) + 2 * kFrame, int(paper.height() * scale) + 2 * kFrame);
}

QSize SheetView::minimumSizeHint() const { return sizeHint() * 0.6; }

void SheetView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QTransform t = toWidget();
    const QRectF paper = t.mapRect(QRectF(QPointF(0, 0), m_format.paperSize()));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(paper);

    const double radius = std::max(0.0, m_format.cornerRadius) * t.m11();
    const QColor outline(90, 90, 90);
    const QColor blank(236, 241, 248);
    const QColor used(170, 170, 170);
    const QColor highlight = palette().color(QPalette::Highlight);
    p.setClipRect(paper);
    for (int k = 1; k <= m_format.labelsPerSheet(); ++k) {
        const QRectF r = labelRect(k);
        QColor fill = blank;
        if (k == m_start)
            fill = highlight;
        else if (m_interactive && k < m_start)
            fill = used;
        p.setBrush(fill);
        // Tiny labels would be all outline: only their fill then.
        p.setPen(std::min(r.width(), r.height()) >= 4 ? QPen(outline, 0.8) : QPen(Qt::NoPen));
        p.drawRoundedRect(r, std::min(radius, r.width() / 2), std::min(radius, r.height() / 2));
    }
    // The paper edge over the labels, which often touch it.
    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    p.drawRect(paper.adjusted(0.5, 0.5, -0.5, -0.5));
    if (hasFocus() && m_start > 0) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(highlight.darker(150), 1.5, Qt::DotLine));
        p.drawRect(labelRect(m_start).adjusted(-1.5, -1.5, 1.5, 1.5));
    }
}

void SheetView::choose(int sheetIndex) {
    if (sheetIndex < 1 || sheetIndex > m_format.labelsPerSheet())
        return;
    m_start = sheetIndex;
    update();
    emit startChosen(sheetIndex);
}

void SheetView::mousePressEvent(QMouseEvent* event) {
    if (!m_interactive || event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    choose(labelAt(event->position()));
}

void SheetView::keyPressEvent(QKeyEvent* event) {
    if (!m_interactive)
        return QWidget::keyPressEvent(event);
    const int columns = m_format.columns;
    int next = m_start;
    switch (event->key()) {
    case Qt::Key_Left: next -= 1; break;
    case Qt::Key_Right: next += 1; break;
    case Qt::Key_Up: next -= columns; break;
    case Qt::Key_Down: next += columns; break;
    case Qt::Key_Home: next = 1; break;
    case Qt::Key_End: next = m_format.labelsPerSheet(); break;
    default: return QWidget::keyPressEvent(event);
    }
    if (next >= 1 && next <= m_format.labelsPerSheet())
        choose(next);
}

} // namespace velomar::printing::ui
