#include "common/ui/frmAttesa.h"

#include "common/ImageList.h"
#include "common/Twips.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>

namespace velomar::common::ui {

frmAttesa::frmAttesa(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("frmAttesa"));
    setWindowTitle(QStringLiteral("Attendere..."));
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(12);
    imgAttesa = new QLabel(this);
    imgAttesa->setObjectName(QStringLiteral("imgAttesa"));
    imgAttesa->setFixedSize(32, 32);
    lblAttesa = new QLabel(this);
    lblAttesa->setObjectName(QStringLiteral("lblAttesa"));
    lblAttesa->setMinimumWidth(220);
    lblAttesa->setWordWrap(true);
    layout->addWidget(imgAttesa);
    layout->addWidget(lblAttesa, 1);
    QScreen* s = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QPoint origin = s ? s->geometry().topLeft() : QPoint();
    move(origin + QPoint(Twips::toPixels(1000), Twips::toPixels(1500)));
}

std::unique_ptr<frmAttesa> frmAttesa::showWait(const QString& message, const QString& imageKey,
                                               QWidget* parent) {
    auto window = std::make_unique<frmAttesa>(parent);
    window->imgAttesa->setPixmap(ImageList::pixmap(imageKey, 32));
    window->lblAttesa->setText(message);
    window->adjustSize();
    window->show();
    window->repaint();
    // Let the window appear before the caller's long job holds the thread.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return window;
}

} // namespace velomar::common::ui
