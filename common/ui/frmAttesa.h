#pragma once

#include <QWidget>

#include <memory>

class QLabel;

namespace velomar::common::ui {

// The wait window "Attendere..." shown during long jobs (reading an archive). Shown
// modeless at 1000 x 1500 twips from the screen's top-left corner; the caller closes it
// by destroying it.
class frmAttesa : public QWidget {
    Q_OBJECT
public:
    explicit frmAttesa(QWidget* parent = nullptr);

    // Shows the window with the message and the image of the key (kDRIVET, ...) and
    // paints it at once.
    static std::unique_ptr<frmAttesa> showWait(const QString& message, const QString& imageKey,
                                               QWidget* parent = nullptr);

    QLabel* imgAttesa = nullptr;
    QLabel* lblAttesa = nullptr;
};

} // namespace velomar::common::ui
