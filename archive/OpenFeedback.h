#pragma once

#include <QString>

namespace velomar::archive {

// What the open routine asks of the windows while it works: the core shows no window
// itself. Every hook defaults to doing nothing (batch use, tests).
class OpenFeedback {
public:
    virtual ~OpenFeedback() = default;

    // The wait window "Attendere..." with a message and an image key.
    virtual void showWait(const QString& message, const QString& imageKey) {}
    virtual void closeWait() {}
    // Image of status panel 1 ("kDBopen" while reading, "kDBclose" after).
    virtual void setArchiveImage(const QString& imageKey) {}
    // Hourglass pointer on / default pointer.
    virtual void setBusy(bool busy) {}
    // A failed open of the main archive: the main window returns to its no-archive
    // state (panels 1-3 and the panel 1 image cleared, mnuArchivio off, open/create on).
    virtual void resetToNoArchive() {}
    // A failed open by the address grid: the grid is unloaded.
    virtual void unloadGrid() {}
};

} // namespace velomar::archive
