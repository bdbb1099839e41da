#include "archive/ui/MainWindowHost.h"

#include "common/SizeText.h"
#include "common/ui/FormsWalk.h"
#include "common/ui/frmAttesa.h"

#include <QMdiSubWindow>

namespace velomar::archive::ui {

MainWindowHost::MainWindowHost(MainWindowView& window) : m_window(window) {}

MainWindowHost::~MainWindowHost() = default;

QWidget* MainWindowHost::hostWindow() { return m_window.mainWidget(); }

void MainWindowHost::setPanelText(int panel, const QString& text) { m_window.setPanelText(panel, text); }

void MainWindowHost::setPanelImage(int panel, const QString& imageKey) { m_window.setPanelImage(panel, imageKey); }

void MainWindowHost::clearPanels(int first, int last) { m_window.clearPanels(first, last); }

void MainWindowHost::setArchiveMenuEnabled(bool enabled) { m_window.setArchiveMenuEnabled(enabled); }

void MainWindowHost::setOpenCommandsEnabled(bool enabled) { m_window.setOpenCommandsEnabled(enabled); }

void MainWindowHost::showWait(const QString& message, const QString& imageKey) {
    m_wait = common::ui::frmAttesa::showWait(message, imageKey, m_window.mainWidget());
}

void MainWindowHost::closeWait() { m_wait.reset(); }

QString MainWindowHost::sizeText(const QString& path) const { return common::SizeText::forFile(path); }

bool MainWindowHost::gridLoaded() const { return common::ui::FormsWalk::count(QStringLiteral("frmEDIT")) > 0; }

void MainWindowHost::unloadGrid() {
    if (QWidget* grid = common::ui::FormsWalk::find(QStringLiteral("frmEDIT"))) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(grid->parentWidget()))
            sub->close();
        else
            grid->close();
    }
}

} // namespace velomar::archive::ui
