#pragma once

#include "printing/Printer.h"
#include "printing/PrinterCalibration.h"

#include <memory>

namespace velomar::printing {

// A printer that hands another one what it is given, moved and scaled by that printer's
// calibration: positions, clips and lines are mapped on the paper (mm from its top-left
// corner), and text is stretched by the scale, so the whole page lands as drawn. Callers
// keep working in the uncalibrated layout: widths, line heights and positions read back
// are those of the layout.
class CalibratedPrinter : public Printer {
public:
    CalibratedPrinter(Printer& inner, PrinterCalibration calibration);
    CalibratedPrinter(std::unique_ptr<Printer> inner, PrinterCalibration calibration);

    // The printer itself when the calibration changes nothing.
    static std::unique_ptr<Printer> wrap(std::unique_ptr<Printer> inner, const PrinterCalibration& calibration);

    const PrinterCalibration& calibration() const { return m_calibration; }

    QString deviceName() const override { return m_inner.deviceName(); }
    QPointF paperOrigin() const override { return m_inner.paperOrigin(); }
    QSizeF printableSize() const override { return m_inner.printableSize(); }
    void setPaperSize(QSizeF mm) override { m_inner.setPaperSize(mm); }
    void setOrientation(Orientation orientation) override { m_inner.setOrientation(orientation); }
    void setFont(const PrintFont& font) override { m_inner.setFont(font); }
    PrintFont font() const override { return m_inner.font(); }

    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }
    void setCurrentX(double mm) override { m_x = mm; }
    void setCurrentY(double mm) override { m_y = mm; }

    void printLine(const QString& text) override;
    void printText(const QString& text) override;
    void moveToColumn(int column) override;
    void setAutoPageBreak(bool on) override { m_inner.setAutoPageBreak(on); }

    double textWidth(const QString& text) const override { return m_inner.textWidth(text); }
    double lineHeight() const override { return m_inner.lineHeight(); }

    void setClip(double x, double y, double width, double height) override;
    void clearClip() override { m_inner.clearClip(); }
    void drawLine(double x1, double y1, double x2, double y2, double widthMm) override;
    void setTextStretch(double horizontal, double vertical) override;

    void endDoc() override;
    void abortDoc() override;
    void finishJob() override;

private:
    // Printable-area coordinates of the layout to those the inner printer is given.
    QPointF map(QPointF printableMm) const;
    QPointF unmap(QPointF innerMm) const;
    void placeInner();

    std::unique_ptr<Printer> m_owned;
    Printer& m_inner;
    PrinterCalibration m_calibration;
    double m_x = 0;
    double m_y = 0;
};

} // namespace velomar::printing
