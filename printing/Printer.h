#pragma once

#include <QPointF>
#include <QSizeF>
#include <QString>

namespace velomar::printing {

struct PrintFont {
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    bool italic = false;

    bool operator==(const PrintFont&) const = default;
};

enum class Orientation { Portrait, Landscape };

// The current printer, in millimetres from the printable-area origin. Paper is A4 unless
// a label sheet asks for another size. Every operation may throw PrinterError.
//
// A job is: any number of documents (each ended by endDoc, each starting on a fresh
// sheet), then finishJob. A job that fails calls abortDoc and is not finished.
class Printer {
public:
    virtual ~Printer() = default;

    virtual QString deviceName() const = 0;

    // Where the printable-area origin lies on the paper, in mm from its top-left corner
    // (in the current orientation). Lets a caller clip to a physical region of the paper.
    virtual QPointF paperOrigin() const { return {}; }
    // Size of the printable area in mm, current orientation: where a line must end to
    // stay on the paper.
    virtual QSizeF printableSize() const = 0;

    // Paper size (portrait, mm) of the documents that follow; call before the first one.
    virtual void setPaperSize(QSizeF mm) {}
    virtual void setOrientation(Orientation orientation) = 0;
    virtual void setFont(const PrintFont& font) = 0;
    virtual PrintFont font() const = 0;

    virtual double currentX() const = 0;
    virtual double currentY() const = 0;
    virtual void setCurrentX(double mm) = 0;
    virtual void setCurrentY(double mm) = 0;

    // Text top-left at the position; then x returns to 0 and y moves down one line.
    // A line that does not fit on the page starts a new page first, keeping its x.
    virtual void printLine(const QString& text) = 0;
    // Text at the position; x moves right by its width. Text started at the left of a
    // line that does not fit on the page starts a new page first, keeping its x.
    virtual void printText(const QString& text) = 0;
    // x moves to column n (1-based), a column being one average character wide.
    virtual void moveToColumn(int column) = 0;
    // On by default. Label and envelope layouts place every line themselves and clip
    // it, so they turn the automatic new page off.
    virtual void setAutoPageBreak(bool on) {}

    virtual double textWidth(const QString& text) const = 0; // mm, current font
    virtual double lineHeight() const = 0;                     // mm, current font

    // Limits drawing to a rectangle (mm) until cleared: a label line never spills
    // onto the neighbouring label.
    virtual void setClip(double x, double y, double width, double height) = 0;
    virtual void clearClip() = 0;

    // A straight line from (x1, y1) to (x2, y2), widthMm thick, under the clip: label
    // outlines and the rulers of the test sheet. Printers that only place text ignore it.
    virtual void drawLine(double x1, double y1, double x2, double y2, double widthMm) {}
    // Text drawn from now on is stretched by these factors about its own top-left corner
    // (a calibrated printer scaling the whole page); measured widths and line heights stay
    // the font's. 1 and 1 unless set.
    virtual void setTextStretch(double horizontal, double vertical) {}

    // Finishes the current document; the next text starts a new document on a new
    // sheet. Ending a document with nothing printed does nothing.
    virtual void endDoc() = 0;
    // Drops what was printed since the last endDoc (as far as the back end can).
    virtual void abortDoc() = 0;
    // Ends the job: ends the open document and hands the output over (the PDF file
    // appears only now). Call once, after the last endDoc.
    virtual void finishJob() { endDoc(); }
};

} // namespace velomar::printing
