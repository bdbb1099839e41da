#pragma once

#include "printing/Printer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRectF>
#include <optional>

class QPagedPaintDevice;

namespace velomar::printing {

// A Printer drawing with QPainter on a paged device (PDF writer, QPrinter). Positions
// are millimetres from the printable-area origin; fonts are in points and measured on
// the device itself, so measured widths are the printed widths.
//
// Subclasses own the device and must call endPainting() in their destructor, before the
// device goes away.
class PaintPrinter : public Printer {
public:
    ~PaintPrinter() override;

    QPointF paperOrigin() const override;

    void setPaperSize(QSizeF mm) override;
    void setOrientation(Orientation orientation) override;
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
    void clearClip() override;
    void drawLine(double x1, double y1, double x2, double y2, double widthMm) override;
    void setTextStretch(double horizontal, double vertical) override { m_stretch = {horizontal, vertical}; }

    void endDoc() override;
    void abortDoc() override;

    // Pages drawn so far in this job (all documents).
    int pagesPrinted() const { return m_pagesPrinted; }

protected:
    PaintPrinter();

    virtual QPagedPaintDevice& device() = 0;
    virtual const QPagedPaintDevice& device() const = 0;
    // Margins of the printable area inside the device's painting rectangle, in mm (the
    // PDF writer paints on the whole sheet and keeps a laser printer's margins itself).
    virtual QMarginsF printableInset() const { return {}; }

    // Starts a document: begins the painter on a fresh sheet. Throws PrinterError.
    virtual void beginDocument(QPainter& painter, bool firstOfJob) = 0;
    // Hands a finished document over.
    virtual void finishDocument(QPainter& painter) = 0;
    // Drops the open document.
    virtual void discardDocument(QPainter& painter) = 0;
    // Applies the orientation to the device for the next sheet.
    virtual void applyOrientation(Orientation orientation) = 0;
    // Moves the open document on to a fresh page; false when the device refuses.
    virtual bool turnPage(QPainter& painter);

    void endPainting();
    // Off: text is placed and measured but not drawn (a pass that only lays pages out).
    void setDrawing(bool on) { m_drawing = on; }
    QPainter& painter() { return m_painter; }
    bool documentOpen() const { return m_docOpen; }
    bool anyDocumentPrinted() const { return m_docsPrinted > 0; }

private:
    void ensureDocument();
    void breakPageIfFull(double height);
    void draw(const QString& text);
    void applyClip();
    const QFontMetricsF& metrics() const;
    double dotsPerMm() const;

    QPainter m_painter;
    PrintFont m_font;
    QFont m_qfont;
    mutable std::optional<QFontMetricsF> m_metrics;
    bool m_fontDirty = true;
    Orientation m_orientation = Orientation::Portrait;
    double m_x = 0;
    double m_y = 0;
    bool m_autoPageBreak = true;
    bool m_drawing = true;
    bool m_lineStarted = false; // text printed on the current line
    QPointF m_stretch{1, 1};
    std::optional<QRectF> m_clip;
    bool m_clipDirty = true;
    bool m_docOpen = false;
    bool m_pageHasContent = false;
    int m_docsPrinted = 0;
    int m_pagesPrinted = 0;
};

} // namespace velomar::printing
