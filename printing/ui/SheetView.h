#pragma once

#include "printing/SheetFormat.h"

#include <QWidget>

namespace velomar::printing::ui {

// A small drawing of a label sheet: the paper and its labels to scale, rounded as the
// real ones. When interactive, the labels before the start one are shaded as used and
// a click (or the arrow keys) moves the start.
class SheetView : public QWidget {
    Q_OBJECT
public:
    explicit SheetView(QWidget* parent = nullptr);

    void setFormat(const SheetFormat& format);
    const SheetFormat& format() const { return m_format; }

    void setInteractive(bool on);
    // 1-based place of the start label on the sheet; 0 highlights none.
    int start() const { return m_start; }
    void setStart(int sheetIndex);

    // The label under a point of the widget, 0 for none.
    int labelAt(QPointF point) const;
    // Where the label is drawn, for tests and tooltips.
    QRectF labelRect(int sheetIndex) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void startChosen(int sheetIndex);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Millimetres to widget pixels, the paper centred.
    QTransform toWidget() const;
    void choose(int sheetIndex);

    SheetFormat m_format = SheetFormat::standard();
    bool m_interactive = false;
    int m_start = 0;
};

} // namespace velomar::printing::ui
