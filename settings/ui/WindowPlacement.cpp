#include "settings/ui/WindowPlacement.h"

#include "common/ui/FormsWalk.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace velomar::settings::ui {

WindowPlacement::WindowPlacement(QWidget* window, settings::Settings& settings)
    : QObject(window), m_window(window), m_settings(settings) {}

void WindowPlacement::apply(QWidget* window, settings::Settings& settings) {
    auto* placement = new WindowPlacement(window, settings);
    window->installEventFilter(placement);
    const QWidget* main = common::ui::FormsWalk::find(QStringLiteral("frmMAIN"));
    if (main == window)
        main = nullptr;
    QScreen* screen = main ? main->screen() : window->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    if (const std::optional<QRect> stored = settings.windowGeometry(window->objectName())) {
        QRect g = *stored;
        g.setSize(g.size().expandedTo(window->minimumSize()).boundedTo(window->maximumSize()));
        // A place from another screen layout is pulled back into view.
        if (room.isValid() && !room.intersects(g))
            g.moveTopLeft(room.topLeft());
        window->setGeometry(g);
        return;
    }
    const QSize size = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
    const QRect over = main && main->isVisible() ? main->geometry() : room;
    if (!over.isValid())
        return;
    QRect g(QPoint(), size);
    g.moveCenter(over.center());
    if (room.isValid()) {
        g.moveLeft(std::max(room.left(), std::min(g.left(), room.right() - g.width())));
        g.moveTop(std::max(room.top(), std::min(g.top(), room.bottom() - g.height())));
    }
    window->setGeometry(g);
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && (event->type() == QEvent::Hide || event->type() == QEvent::Close))
        store();
    return QObject::eventFilter(watched, event);
}

void WindowPlacement::store() {
    if (m_window->isMinimized() || m_window->isMaximized())
        return;
    m_settings.setWindowGeometry(m_window->objectName(), m_window->geometry());
}

} // namespace velomar::settings::ui
