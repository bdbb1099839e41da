#pragma once

#include <QString>

class QWidget;

namespace velomar::archive::ui {

// What the main window offers the archive commands: its status panels and the archive
// menu. The main window implements it, so this floor never includes the shell.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;

    virtual QWidget* mainWidget() = 0;
    virtual void setPanelText(int panel, const QString& text) = 0;
    virtual void setPanelImage(int panel, const QString& key) = 0;
    virtual void clearPanels(int first, int last) = 0;
    virtual void setArchiveMenuEnabled(bool enabled) = 0;
    virtual void setOpenCommandsEnabled(bool enabled) = 0;
};

} // namespace velomar::archive::ui
