#include "archive/ui/WindowOpenFeedback.h"

#include "archive/ui/ArchiveHost.h"

#include <QApplication>

namespace velomar::archive::ui {

void WindowOpenFeedback::showWait(const QString& message, const QString& imageKey) {
    m_host.showWait(message, imageKey);
}

void WindowOpenFeedback::closeWait() { m_host.closeWait(); }

void WindowOpenFeedback::setArchiveImage(const QString& imageKey) { m_host.setPanelImage(1, imageKey); }

void WindowOpenFeedback::setBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void WindowOpenFeedback::resetToNoArchive() {
    m_host.setPanelImage(1, QString());
    m_host.clearPanels(1, 3);
    m_host.setArchiveMenuEnabled(false);
    m_host.setOpenCommandsEnabled(true);
}

void WindowOpenFeedback::unloadGrid() { m_host.unloadGrid(); }

} // namespace velomar::archive::ui
