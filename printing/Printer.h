#pragma once

#include <QString>

namespace velomar::printing {

struct PrintFont {
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
};

enum class Orientation { Portrait, Landscape };

// The current printer, in millimetres from the printable-area origin. Paper is always
// A4. Every operation may throw PrinterError.
class Printer {
public:
    virtual ~Printer() = default;

    virtual QString deviceName() const = 0;

    virtual void setOrientation(Orientation orientation) = 0;
    virtual void setFont(const PrintFont& font) = 0;
    virtual PrintFont font() const = 0;

    virtual double currentX() const = 0;
    virtual double currentY() const = 0;
    virtual void setCurrentX(double mm) = 0;
    virtual void setCurrentY(double mm) = 0;

    // Text top-left at the position; then x returns to 0 and y moves down one line.
    // A line that does not fit on the page starts a new page first.
    virtual void printLine(const QString& text) = 0;
    // Text at the position; x moves right by its width.
    virtual void printText(const QString& text) = 0;
    // x moves to column n (1-based), a column being one average character wide.
    virtual void moveToColumn(int column) = 0;

    virtual double textWidth(const QString& text) const = 0; // mm, current font
    virtual double lineHeight() const = 0;                     // mm, current font

    // Limits drawing to a rectangle (mm) until cleared: a label line never spills
    // onto the neighbouring label.
    virtual void setClip(double x, double y, double width, double height) = 0;
    virtual void clearClip() = 0;

    // Finishes the current document; the next text starts a new document on a new
    // sheet. Ending a document with nothing printed does nothing.
    virtual void endDoc() = 0;
    // Drops what was printed since the last endDoc.
    virtual void abortDoc() = 0;
};

} // namespace velomar::printing
