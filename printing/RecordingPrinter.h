#pragma once

#include "printing/Printer.h"

#include <QFontMetricsF>
#include <QImage>
#include <QRectF>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace velomar::printing {

// A printer that records every operation with its position, for tests and benchmarks.
// Widths and line heights come from the real fonts at 1200 dpi (as the PDF printer
// measures), unless a test sets its own measure.
class RecordingPrinter : public Printer {
public:
    struct Event {
        enum class Kind { Line, Text, NewPage, EndDoc, AbortDoc, FinishJob, Rule } kind;
        QString text;
        double x = 0;
        double y = 0;
        PrintFont font;
        std::optional<QRectF> clip;
        Orientation orientation = Orientation::Portrait;
        int document = 0; // 0-based index of the document the event belongs to
    };

    explicit RecordingPrinter(QString deviceName = QStringLiteral("Registratore"));
    ~RecordingPrinter() override;

    QString deviceName() const override { return m_deviceName; }
    QPointF paperOrigin() const override { return m_paperOrigin; }
    void setPaperOrigin(QPointF mm) { m_paperOrigin = mm; }

    void setPaperSize(QSizeF mm) override { m_paper = mm; }
    void setOrientation(Orientation orientation) override { m_orientation = orientation; }
    Orientation orientation() const { return m_orientation; }
    void setFont(const PrintFont& font) override;
    PrintFont font() const override { return m_font; }

    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }
    void setCurrentX(double mm) override { m_x = mm; }
    void setCurrentY(double mm) override {
        m_y = mm;
        m_lineStarted = false;
    }

    void printLine(const QString& text) override;
    void printText(const QString& text) override;
    void moveToColumn(int column) override;
    // Starts a new page of the current document.
    void newPage();
    void setAutoPageBreak(bool on) override { m_autoPageBreak = on; }

    double textWidth(const QString& text) const override;
    double lineHeight() const override;
    // Printable area (mm), current orientation.
    double pageHeight() const;
    double pageWidth() const;
    QSizeF printableSize() const override { return {pageWidth(), pageHeight()}; }

    void setClip(double x, double y, double width, double height) override;
    void clearClip() override { m_clip.reset(); }
    // A Rule event at the line's start; its end in text as "x2,y2".
    void drawLine(double x1, double y1, double x2, double y2, double widthMm) override;

    void endDoc() override;
    void abortDoc() override;
    void finishJob() override;

    // Test hooks.
    using Measure = std::function<double(const QString& text, const PrintFont& font)>;
    void setMeasure(Measure measure) { m_measure = std::move(measure); }
    void setLineHeight(double mm) { m_fixedLineHeight = mm; }
    // The n-th printed text (0-based) throws PrinterError(code) instead of printing.
    void failAt(int printCall, int code) { m_failAt = printCall; m_failCode = code; }

    const std::vector<Event>& events() const { return m_events; }
    // Texts of the printed lines (Line and Text events), in order.
    QStringList printedTexts() const;
    // Lines of the given document.
    std::vector<Event> linesOfDocument(int document) const;
    int documentsEnded() const { return m_documentsEnded; }
    int documentsAborted() const { return m_documentsAborted; }
    bool documentOpen() const { return m_docOpen; }
    void clear();

private:
    void record(Event::Kind kind, const QString& text);
    void countPrintCall();
    void breakPageIfFull(double height);
    const QFontMetricsF& metrics() const;

    QString m_deviceName;
    QPointF m_paperOrigin{25.4 / 6.0, 25.4 / 6.0};
    Orientation m_orientation = Orientation::Portrait;
    QSizeF m_paper{210, 297};
    PrintFont m_font;
    double m_x = 0;
    double m_y = 0;
    bool m_autoPageBreak = true;
    bool m_lineStarted = false; // text printed on the current line
    std::optional<QRectF> m_clip;
    bool m_docOpen = false;
    int m_document = 0;
    int m_documentsEnded = 0;
    int m_documentsAborted = 0;
    int m_printCalls = 0;
    int m_failAt = -1;
    int m_failCode = 0;
    Measure m_measure;
    std::optional<double> m_fixedLineHeight;
    std::vector<Event> m_events;
    QImage m_device; // 1200 dpi, for measuring only
    mutable std::optional<QFontMetricsF> m_metrics;
};

} // namespace velomar::printing
