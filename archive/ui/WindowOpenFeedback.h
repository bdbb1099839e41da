#pragma once

#include "archive/OpenFeedback.h"

namespace velomar::archive::ui {

class ArchiveHost;

// The open routine's hooks, carried out on the main window: wait window, panel 1 image,
// hourglass pointer, and the return to the no-archive state after a failure.
class WindowOpenFeedback : public OpenFeedback {
public:
    explicit WindowOpenFeedback(ArchiveHost& host) : m_host(host) {}

    void showWait(const QString& message, const QString& imageKey) override;
    void closeWait() override;
    void setArchiveImage(const QString& imageKey) override;
    void setBusy(bool busy) override;
    void resetToNoArchive() override;
    void unloadGrid() override;

private:
    ArchiveHost& m_host;
    bool m_busy = false;
};

} // namespace velomar::archive::ui
