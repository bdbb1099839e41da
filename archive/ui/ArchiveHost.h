#pragma once

#include <QString>

class QWidget;

namespace velomar::archive::ui {

// What the archive commands need from the main window: status panels, the archive
// menus, the wait window and the address grid's presence. frmMAIN provides it through
// MainWindowHost; tests provide a fake.
class ArchiveHost {
public:
    virtual ~ArchiveHost() = default;

    virtual QWidget* hostWindow() = 0; // parent of the modal windows
    virtual void setPanelText(int panel, const QString& text) = 0;
    virtual void setPanelImage(int panel, const QString& imageKey) = 0; // "" removes it
    virtual void clearPanels(int first, int last) = 0;
    virtual void setArchiveMenuEnabled(bool enabled) = 0; // mnuArchivio
    virtual void setOpenCommandsEnabled(bool enabled) = 0; // mnuApri, mnuNuovo
    virtual void showWait(const QString& message, const QString& imageKey) = 0;
    virtual void closeWait() = 0;
    // The text of status panel 2 for an archive file (its size).
    virtual QString sizeText(const QString& path) const = 0;
    virtual bool gridLoaded() const = 0; // is frmEDIT loaded?
    virtual void unloadGrid() = 0;
};

} // namespace velomar::archive::ui
