#pragma once

#include "archive/ArchiveOpener.h"
#include "archive/ui/WindowOpenFeedback.h"

#include <QObject>
#include <functional>
#include <optional>

namespace velomar::common {
struct AppContext;
}

namespace velomar::archive::ui {

class ArchiveHost;

// A file kept in another program's archive format, which open offers to convert into a
// new archive of ours. The formats are known to the exchange layer, above this one, so
// the shell hands the checks in.
struct ForeignArchive {
    std::function<bool(const QString& path)> recognises; // cheap: runs on every open
    std::function<QString(const QString& path)> offer;   // the Yes/No question
    // Writes the new archive and returns its path; throws common::AppError on failure.
    std::function<QString(const QString& path)> convert;
    // Asked before the offer: does the file hold an address archive convert can read?
    // Throws common::AppError when the file cannot be read. Unset: it does.
    std::function<bool(const QString& path)> holdsArchive;
    // Any other file of the format: the file import window on it, into the open archive.
    std::function<void(const QString& path)> importFrom;
};

// The main window's archive commands: open (mnuApri), create (mnuNuovo), properties
// (mnuProprieta and a click on status panel 1) and close (mnuChiudiArchivio).
class ArchiveCommands : public QObject {
    Q_OBJECT
public:
    ArchiveCommands(common::AppContext& context, ArchiveHost& host, QObject* parent = nullptr);
    ~ArchiveCommands() override;

    void openArchive();
    void createArchive();
    void showProperties();
    // Runs the address grid's close button (connected to closeRequested); with no grid
    // loaded it closes what the main slots hold and returns to the no-archive state.
    void closeArchive();

    void setForeignArchive(ForeignArchive foreign) { m_foreign = std::move(foreign); }

    // The open routine, ready for other windows (the address grid's "Edit" open).
    ArchiveOpener& opener() { return m_opener; }
    OpenFeedback& feedback() { return m_feedback; }

    static QString fileFilter() { return QStringLiteral("Tutti i file (*.*)|*.*|Archivio (*.mdb)|*.mdb|"); }

signals:
    // A counted archive is ready: the address grid is shown now and opens it ("Edit").
    void archiveOpened(const QString& path);
    // mnuChiudiArchivio: the address grid runs its close button.
    void closeRequested();

private:
    // Asks, converts and returns the new archive's path; nullopt when refused or failed
    // (the failure already shown).
    std::optional<QString> convertForeign(const QString& path);
    // A foreign file that is no archive: offers the file import window on it.
    void offerImport(const QString& path);

    common::AppContext& m_ctx;
    ArchiveHost& m_host;
    WindowOpenFeedback m_feedback;
    ArchiveOpener m_opener;
    ForeignArchive m_foreign;
};

} // namespace velomar::archive::ui
