#include "printing/RecordingPrinter.h"

#include "printing/PrintFonts.h"
#include "printing/PrinterError.h"

namespace velomar::printing {

namespace {
constexpr double kDpi = 1200.0;
constexpr double kDotsPerMm = kDpi / 25.4;
} // namespace

RecordingPrinter::RecordingPrinter(QString deviceName)
    : m_deviceName(std::move(deviceName)), m_device(1, 1, QImage::Format_Mono) {
    m_device.setDotsPerMeterX(qRound(kDpi / 0.0254));
    m_device.setDotsPerMeterY(qRound(kDpi / 0.0254));
}

RecordingPrinter::~RecordingPrinter() = default;

void RecordingPrinter::setFont(const PrintFont& font) {
    m_font = font;
    m_metrics.reset();
}

const QFontMetricsF& RecordingPrinter::metrics() const {
    if (!m_metrics)
        m_metrics.emplace(PrintFonts::toQFont(m_font), &m_device);
    return *m_metrics;
}

double RecordingPrinter::textWidth(const QString& text) const {
    if (m_measure)
        return m_measure(text, m_font);
    return metrics().horizontalAdvance(text) / kDotsPerMm;
}

double RecordingPrinter::lineHeight() const {
    if (m_fixedLineHeight)
        return *m_fixedLineHeight;
    return metrics().lineSpacing() / kDotsPerMm;
}

double RecordingPrinter::pageWidth() const {
    const double inset = 2 * m_paperOrigin.x();
    return (m_orientation == Orientation::Portrait ? m_paper.width() : m_paper.height()) - inset;
}

double RecordingPrinter::pageHeight() const {
    const double inset = 2 * m_paperOrigin.y();
    return (m_orientation == Orientation::Portrait ? m_paper.height() : m_paper.width()) - inset;
}

void RecordingPrinter::countPrintCall() {
    if (m_printCalls++ == m_failAt)
        throw PrinterError(m_failCode, QStringLiteral("Guasto simulato"));
}

void RecordingPrinter::record(Event::Kind kind, const QString& text) {
    m_events.push_back({kind, text, m_x, m_y, m_font, m_clip, m_orientation, m_document});
}

void RecordingPrinter::breakPageIfFull(double height) {
    if (!m_autoPageBreak || m_lineStarted || !m_docOpen || m_y + height <= pageHeight())
        return;
    const double x = m_x;
    newPage();
    m_x = x;
}

void RecordingPrinter::printLine(const QString& text) {
    countPrintCall();
    const double height = lineHeight();
    breakPageIfFull(height);
    m_docOpen = true;
    record(Event::Kind::Line, text);
    m_x = 0;
    m_y += height;
    m_lineStarted = false;
}

void RecordingPrinter::printText(const QString& text) {
    countPrintCall();
    breakPageIfFull(lineHeight());
    m_docOpen = true;
    record(Event::Kind::Text, text);
    m_x += textWidth(text);
    m_lineStarted = true;
}

void RecordingPrinter::moveToColumn(int column) {
    m_x = std::max(0, column - 1) * (m_measure ? m_measure(QStringLiteral("x"), m_font)
                                               : metrics().averageCharWidth() / kDotsPerMm);
}

void RecordingPrinter::newPage() {
    m_docOpen = true;
    record(Event::Kind::NewPage, {});
    m_x = 0;
    m_y = 0;
    m_lineStarted = false;
}

void RecordingPrinter::setClip(double x, double y, double width, double height) {
    m_clip = QRectF(x, y, width, height);
}

void RecordingPrinter::drawLine(double x1, double y1, double x2, double y2, double) {
    m_docOpen = true;
    const double x = m_x, y = m_y;
    m_x = x1;
    m_y = y1;
    record(Event::Kind::Rule, QStringLiteral("%1,%2").arg(x2).arg(y2));
    m_x = x;
    m_y = y;
}

void RecordingPrinter::endDoc() {
    if (m_docOpen) {
        record(Event::Kind::EndDoc, {});
        m_docOpen = false;
        ++m_documentsEnded;
        ++m_document;
    }
    m_x = 0;
    m_y = 0;
    m_lineStarted = false;
}

void RecordingPrinter::abortDoc() {
    if (m_docOpen) {
        record(Event::Kind::AbortDoc, {});
        m_docOpen = false;
        ++m_documentsAborted;
        ++m_document;
    }
    m_x = 0;
    m_y = 0;
    m_lineStarted = false;
}

void RecordingPrinter::finishJob() {
    endDoc();
    record(Event::Kind::FinishJob, {});
}

QStringList RecordingPrinter::printedTexts() const {
    QStringList texts;
    for (const Event& e : m_events)
        if (e.kind == Event::Kind::Line || e.kind == Event::Kind::Text)
            texts << e.text;
    return texts;
}

std::vector<RecordingPrinter::Event> RecordingPrinter::linesOfDocument(int document) const {
    std::vector<Event> lines;
    for (const Event& e : m_events)
        if (e.document == document && (e.kind == Event::Kind::Line || e.kind == Event::Kind::Text))
            lines.push_back(e);
    return lines;
}

void RecordingPrinter::clear() {
    m_events.clear();
    m_document = 0;
    m_documentsEnded = 0;
    m_documentsAborted = 0;
    m_docOpen = false;
    m_printCalls = 0;
}

} // namespace velomar::printing
