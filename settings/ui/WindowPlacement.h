#pragma once

#include <QObject>

class QWidget;

namespace velomar::settings {
class Settings;
}

namespace velomar::settings::ui {

// Where a window of the program opens: centred over the main window the first time,
// then where the user left it (kept in the settings store under the window's name).
class WindowPlacement : public QObject {
    Q_OBJECT
public:
    // Places window now (call before showing it) and stores its place whenever it hides.
    static void apply(QWidget* window, settings::Settings& settings);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowPlacement(QWidget* window, settings::Settings& settings);
    void store();

    QWidget* m_window;
    settings::Settings& m_settings;
};

} // namespace velomar::settings::ui
