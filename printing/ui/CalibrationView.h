#pragma once

#include "printing/PrinterCalibration.h"
#include "printing/SheetFormat.h"

#include <QWidget>

namespace velomar::printing::ui {

// The labels of a sheet where they are meant to be (grey) and where the calibration
// puts them (blue). A tenth of a millimetre would not show at this size: the moves are
// drawn Magnified times larger, as the caption under the drawing says.
class CalibrationView : public QWidget {
    Q_OBJECT
public:
    static constexpr double Magnified = 10;

    explicit CalibrationView(QWidget* parent = nullptr);

    void setFormat(const SheetFormat& format);
    void setCalibration(const PrinterCalibration& calibration);
    const PrinterCalibration& calibration() const { return m_calibration; }
    // Where a label (1-based place on the sheet) is drawn moved, in widget pixels.
    QRectF movedLabelRect(int sheetIndex) const;

    QSize sizeHint() const override { return {190, 260}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTransform toWidget() const;
    QRectF moved(const QRectF& mm) const;

    SheetFormat m_format = SheetFormat::standard();
    PrinterCalibration m_calibration;
};

} // namespace velomar::printing::ui
