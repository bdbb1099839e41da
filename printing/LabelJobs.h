#pragma once

#include "archive/Recordset.h"
#include "printing/SheetFormat.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace velomar::archive {
class Database;
}
namespace velomar::common {
class DialogService;
} // namespace velomar::common
namespace velomar::settings {
struct AppState;
}

namespace velomar::printing {

class PrinterSelection;

// The two label jobs behind their windows: confirmation, reminder file, printing and the
// final message. Each run either prints and says "Stampa terminata.", or shows the one
// message of what went wrong.
class LabelJobs {
public:
    enum class Outcome { Printed, NothingToDo, Cancelled, Failed };

    LabelJobs(settings::AppState& state, common::DialogService& dialogs, PrinterSelection& printers,
              archive::Database& db);

    // Print-shop labels: every address of one group (GR LIKE code), reminder file in
    // StampeTip sorted by surname, labels in sortIndex order from the first label.
    // progress(max, value) follows the reminder file.
    Outcome printGroup(const QString& groupCode, const QString& description, int sortIndex,
                       const std::function<void(qint64, qint64)>& progress = {});

    // Single labels: marks SERV = 1 on exactly the listed NRs (0 on all others) in one
    // statement, then prints the marked addresses in sortIndex order from start.
    Outcome printSingles(const std::vector<qint64>& nrs, LabelPosition start, int sortIndex);

    // For the preview: the addresses each job would print, in print order, read only,
    // with nothing marked or written. Nothing (after saying why) when the job has none.
    std::optional<archive::Recordset> groupAddresses(const QString& groupCode, int sortIndex);
    std::optional<archive::Recordset> singleAddresses(const std::vector<qint64>& nrs, int sortIndex);

    // The sheet format the jobs print on: the one chosen in the settings when a job
    // starts (a stored one that cannot be read is said, and the standard sheet used), or
    // the one set here (tests, a window that already read it).
    SheetFormat sheet() const;
    void setSheet(std::optional<SheetFormat> sheet) { m_sheet = std::move(sheet); }
    // "Una sola etichetta per indirizzo" (HouseholdSource); the reminder file still
    // lists every address.
    void setOneLabelPerDoor(bool on) { m_oneLabelPerDoor = on; }
    // "Stampa i contorni": the label outlines printed with the addresses.
    void setOutlines(bool on) { m_outlines = on; }

    static QString confirmText(qint64 labels, qint64 sheets, const QString& printerName,
                               bool shopJob, const QString& paper = QStringLiteral("A4"));

private:
    settings::AppState& m_state;
    common::DialogService& m_dialogs;
    PrinterSelection& m_printers;
    archive::Database& m_db;
    std::optional<SheetFormat> m_sheet;
    bool m_oneLabelPerDoor = false;
    bool m_outlines = false;
};

} // namespace velomar::printing
