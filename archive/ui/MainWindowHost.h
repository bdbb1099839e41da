#pragma once

#include "archive/ui/ArchiveHost.h"
#include "archive/ui/MainWindowView.h"

#include <memory>

namespace velomar::common::ui {
class frmAttesa;
}

namespace velomar::archive::ui {

// The archive commands' view of the main window.
class MainWindowHost : public ArchiveHost {
public:
    explicit MainWindowHost(MainWindowView& window);
    ~MainWindowHost() override;

    QWidget* hostWindow() override;
    void setPanelText(int panel, const QString& text) override;
    void setPanelImage(int panel, const QString& imageKey) override;
    void clearPanels(int first, int last) override;
    void setArchiveMenuEnabled(bool enabled) override;
    void setOpenCommandsEnabled(bool enabled) override;
    void showWait(const QString& message, const QString& imageKey) override;
    void closeWait() override;
    QString sizeText(const QString& path) const override;
    bool gridLoaded() const override;
    void unloadGrid() override;

private:
    MainWindowView& m_window;
    std::unique_ptr<common::ui::frmAttesa> m_wait;
};

} // namespace velomar::archive::ui
