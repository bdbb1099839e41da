#include "printing/PaintPrinter.h"

#include "printing/PrintFonts.h"
#include "printing/PrinterError.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPen>
#include <cmath>

namespace velomar::printing {

namespace {
constexpr double kMmPerInch = 25.4;
}

PaintPrinter::PaintPrinter() : m_qfont(PrintFonts::toQFont(m_font)) {}

PaintPrinter::~PaintPrinter() = default;

void PaintPrinter::endPainting() {
    if (m_painter.isActive())
        m_painter.end();
    m_docOpen = false;
}

double PaintPrinter::dotsPerMm() const { return device().logicalDpiX() / kMmPerInch; }

QPointF PaintPrinter::paperOrigin() const {
    const QPageLayout layout = device().pageLayout();
    const QRectF paint = layout.paintRect(QPageLayout::Millimeter);
    const QMarginsF inset = printableInset();
    return paint.topLeft() + QPointF(inset.left(), inset.top());
}

void PaintPrinter::setPaperSize(QSizeF mm) {
    const QPageLayout layout = device().pageLayout();
    const QSizeF now = layout.pageSize().size(QPageSize::Millimeter);
    if (std::abs(now.width() - mm.width()) < 0.01 && std::abs(now.height() - mm.height()) < 0.01)
        return;
    device().setPageSize(QPageSize(mm, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch));
}

void PaintPrinter::setOrientation(Orientation orientation) {
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    applyOrientation(orientation);
}

void PaintPrinter::setFont(const PrintFont& font) {
    if (font == m_font)
        return;
    m_font = font;
    m_qfont = PrintFonts::toQFont(font);
    m_metrics.reset();
    m_fontDirty = true;
}

const QFontMetricsF& PaintPrinter::metrics() const {
    if (!m_metrics)
        m_metrics.emplace(m_qfont, &device());
    return *m_metrics;
}

double PaintPrinter::textWidth(const QString& text) const {
    return metrics().horizontalAdvance(text) / dotsPerMm();
}

double PaintPrinter::lineHeight() const { return metrics().lineSpacing() / dotsPerMm(); }

double PaintPrinter::pageHeight() const {
    const QMarginsF inset = printableInset();
    return device().pageLayout().paintRect(QPageLayout::Millimeter).height() - inset.top() -
           inset.bottom();
}

double PaintPrinter::pageWidth() const {
    const QMarginsF inset = printableInset();
    return device().pageLayout().paintRect(QPageLayout::Millimeter).width() - inset.left() -
           inset.right();
}

void PaintPrinter::ensureDocument() {
    if (m_docOpen)
        return;
    beginDocument(m_painter, m_docsPrinted == 0);
    if (!m_painter.isActive())
        throw PrinterError(PrinterError::Problem,
                           QStringLiteral("La stampante non ha accettato il documento."));
    m_docOpen = true;
    m_pageHasContent = false;
    m_fontDirty = true;
    m_clipDirty = true;
    ++m_pagesPrinted;
}

bool PaintPrinter::turnPage(QPainter&) { return device().newPage(); }

void PaintPrinter::newPage() {
    ensureDocument();
    if (!turnPage(m_painter))
        throw PrinterError(PrinterError::Problem, QStringLiteral("Impossibile iniziare una nuova pagina."));
    ++m_pagesPrinted;
    m_pageHasContent = false;
    m_fontDirty = true;
    m_clipDirty = true;
    m_x = 0;
    m_y = 0;
    m_lineStarted = false;
}

void PaintPrinter::applyClip() {
    if (!m_clipDirty)
        return;
    m_clipDirty = false;
    if (!m_clip) {
        m_painter.setClipping(false);
        return;
    }
    const double k = dotsPerMm();
    const QMarginsF inset = printableInset();
    const QRectF r = m_clip->translated(inset.left(), inset.top());
    m_painter.setClipRect(QRectF(r.x() * k, r.y() * k, r.width() * k, r.height() * k));
}

void PaintPrinter::draw(const QString& text) {
    ensureDocument();
    m_pageHasContent = true;
    if (!m_drawing)
        return;
    if (m_fontDirty) {
        m_painter.setFont(m_qfont);
        m_painter.setPen(Qt::black);
        m_fontDirty = false;
    }
    applyClip();
    const double k = dotsPerMm();
    const QMarginsF inset = printableInset();
    if (m_stretch == QPointF(1, 1)) {
        const QPointF at((m_x + inset.left()) * k, (m_y + inset.top()) * k + metrics().ascent());
        m_painter.drawText(at, text);
        return;
    }
    // The clip is already set in device terms: the transform below leaves it where it is.
    m_painter.save();
    m_painter.translate((m_x + inset.left()) * k, (m_y + inset.top()) * k);
    m_painter.scale(m_stretch.x(), m_stretch.y());
    m_painter.drawText(QPointF(0, metrics().ascent()), text);
    m_painter.restore();
}

void PaintPrinter::drawLine(double x1, double y1, double x2, double y2, double widthMm) {
    ensureDocument();
    m_pageHasContent = true;
    if (!m_drawing)
        return;
    applyClip();
    const double k = dotsPerMm();
    const QMarginsF inset = printableInset();
    m_painter.save();
    QPen pen(Qt::black);
    pen.setWidthF(widthMm * k);
    pen.setCapStyle(Qt::FlatCap);
    m_painter.setPen(pen);
    m_painter.drawLine(QPointF((x1 + inset.left()) * k, (y1 + inset.top()) * k),
                       QPointF((x2 + inset.left()) * k, (y2 + inset.top()) * k));
    m_painter.restore();
}

void PaintPrinter::breakPageIfFull(double height) {
    // Only at the start of a line: a line is never split across two pages.
    if (!m_autoPageBreak || m_lineStarted || !m_pageHasContent || m_y + height <= pageHeight())
        return;
    const double x = m_x;
    newPage();
    m_x = x;
}

void PaintPrinter::printLine(const QString& text) {
    const double height = lineHeight();
    breakPageIfFull(height);
    if (!text.isEmpty())
        draw(text);
    else
        ensureDocument(); // an empty line still belongs to the document
    m_x = 0;
    m_y += height;
    m_lineStarted = false;
}

void PaintPrinter::printText(const QString& text) {
    breakPageIfFull(lineHeight());
    if (!text.isEmpty())
        draw(text);
    m_x += textWidth(text);
    m_lineStarted = true;
}

void PaintPrinter::moveToColumn(int column) {
    m_x = std::max(0, column - 1) * metrics().averageCharWidth() / dotsPerMm();
}

void PaintPrinter::setClip(double x, double y, double width, double height) {
    m_clip = QRectF(x, y, width, height);
    m_clipDirty = true;
}

void PaintPrinter::clearClip() {
    if (!m_clip)
        return;
    m_clip.reset();
    m_clipDirty = true;
}

void PaintPrinter::endDoc() {
    if (m_docOpen) {
        m_docOpen = false;
        finishDocument(m_painter);
        ++m_docsPrinted;
    }
    m_x = 0;
    m_y = 0;
    m_lineStarted = false;
}

void PaintPrinter::abortDoc() {
    if (m_docOpen) {
        m_docOpen = false;
        discardDocument(m_painter);
    }
    m_x = 0;
    m_y = 0;
    m_lineStarted = false;
}

} // namespace velomar::printing
