#include "printing/LabelJobs.h"

#include "archive/DataModel.h"
#include "archive/Database.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "archive/LikePattern.h"
#include "archive/Recordset.h"
#include "addresses/HouseholdSource.h"
#include "archive/RecordsetAddressSource.h"
#include "archive/Statement.h"
#include "common/AppError.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "printing/PrintFailure.h"
#include "printing/Printer.h"
#include "printing/PrinterSelection.h"
#include "printing/ReminderFile.h"
#include "printing/SheetCatalog.h"
#include "printing/StampaEtichette.h"
#include "settings/Settings.h"

#include <QCursor>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>

namespace velomar::printing {

namespace {

using common::MsgButtons;

// Only what a label or a reminder line can show is read of each address.
QString printSelect(const QString& where) {
    return QStringLiteral("SELECT %1 FROM TabMAIL WHERE %2")
        .arg(archive::DataModel::printColumns().join(QStringLiteral(", ")), where);
}
using common::MsgIcon;
using common::MsgResult;

constexpr int kReminderSort = 2; // surname, first name

// Hourglass for the length of a job, when there is a screen to show it on.
class Hourglass {
public:
    Hourglass() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~Hourglass() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::restoreOverrideCursor();
    }
};

} // namespace

LabelJobs::LabelJobs(settings::AppState& state, common::DialogService& dialogs,
                     PrinterSelection& printers, archive::Database& db)
    : m_state(state), m_dialogs(dialogs), m_printers(printers), m_db(db) {}

SheetFormat LabelJobs::sheet() const {
    if (m_sheet)
        return *m_sheet;
    QString note;
    SheetFormat format = SheetCatalog::current(settings::Settings(), &note);
    if (!note.isEmpty())
        m_dialogs.message(note, common::MsgIcon::Exclamation);
    return format;
}

QString LabelJobs::confirmText(qint64 labels, qint64 sheets, const QString& printerName, bool shopJob,
                               const QString& paper) {
    QString text;
    if (shopJob)
        text = QStringLiteral("Etichette in stampa: %1").arg(labels);
    else
        text = QStringLiteral("Stampante: %1\r\nEtichette da Stampare: %2").arg(printerName).arg(labels);
    return text + QStringLiteral("\r\nFogli %1 occorrenti: %2\r\n"
                                 "Premere 'OK' per avviare la stampa o 'Annulla' per rinunciare.")
                      .arg(paper)
                      .arg(sheets);
}

namespace {

// Prints a sorted record set; shows the failure and returns false, or true.
bool printLabels(common::DialogService& dialogs, PrinterSelection& printers,
                 const settings::AppState& state, const SheetFormat& sheet, const archive::Recordset& rs,
                 LabelPosition start, QStringList& cutLabels, bool oneLabelPerDoor, bool outlines) {
    try {
        Hourglass wait;
        auto printer = printers.createPrinter(dialogs, PrinterSelection::Calibration::Applied);
        archive::RecordsetAddressSource source(rs);
        LabelOptions options = LabelOptions::from(state.options);
        options.outlines = outlines;
        StampaEtichette engine(*printer, options, sheet);
        if (oneLabelPerDoor) {
            addresses::HouseholdSource doors(source);
            engine.print(doors, start);
        } else {
            engine.print(source, start);
        }
        printer->finishJob();
        cutLabels = engine.cutLabels();
        return true;
    } catch (const std::exception& e) {
        dialogs.message(printFailureText(e), MsgIcon::Critical);
        return false;
    }
}

// The labels a record set gives.
qint64 labelCount(const archive::Recordset& rs, bool oneLabelPerDoor) {
    if (!oneLabelPerDoor)
        return rs.recordCount();
    archive::RecordsetAddressSource source(rs);
    return addresses::HouseholdSource(source).count();
}

// "Stampa terminata.", with the labels whose text did not fit when there are any.
QString closingText(const QStringList& cutLabels) {
    QString text = QStringLiteral("Stampa terminata.");
    if (!cutLabels.isEmpty())
        text += QStringLiteral("\r\n") + StampaEtichette::cutLabelsNote(cutLabels);
    return text;
}

bool writeReminder(common::DialogService& dialogs, const QString& path, const QString& header,
                   const QString& description, const archive::Recordset& rs,
                   const std::function<void(qint64, qint64)>& progress) {
    try {
        archive::RecordsetAddressSource source(rs);
        const qint64 max = source.count();
        if (progress)
            progress(max, 0);
        const QByteArray content = ReminderFile::compose(
            header, QDate::currentDate(), description, source,
            [&](qint64 n) { if (progress) progress(max, n); });
        ReminderFile::write(path, content);
        if (progress)
            progress(max, max);
        return true;
    } catch (const archive::DatabaseError& e) {
        dialogs.message(archive::FailureText::of(e), MsgIcon::Critical);
        return false;
    } catch (const common::AppError& e) {
        dialogs.message(e.description(), MsgIcon::Critical);
        return false;
    }
}

} // namespace

LabelJobs::Outcome LabelJobs::printGroup(const QString& groupCode, const QString& description,
                                         int sortIndex,
                                         const std::function<void(qint64, qint64)>& progress) {
    if (groupCode.isEmpty()) {
        m_dialogs.message(QStringLiteral("Selezionare un Gruppo !"), MsgIcon::Information);
        return Outcome::NothingToDo;
    }
    archive::Recordset rs;
    try {
        (void)archive::LikePattern::compile(groupCode);
        rs = archive::Recordset::open(m_db, printSelect(QStringLiteral("GR LIKE ?")),
                                      archive::LockType::ReadOnly, {groupCode});
    } catch (const common::AppError& e) {
        m_dialogs.message(archive::FailureText::of(e), MsgIcon::Critical);
        return Outcome::Failed;
    }
    if (rs.recordCount() == 0) {
        m_dialogs.message(QStringLiteral("Nessun indirizzo con Gruppo '%1' !").arg(groupCode),
                          MsgIcon::Information);
        return Outcome::NothingToDo;
    }
    const qint64 n = labelCount(rs, m_oneLabelPerDoor);
    const SheetFormat format = sheet();
    const qint64 sheets = format.sheetsFor(n);
    if (m_dialogs.message(confirmText(n, sheets, {}, true, SheetFormat::paperName(format.paper)),
                          MsgIcon::Question, MsgButtons::OkCancel) !=
        MsgResult::Ok)
        return Outcome::Cancelled;
    const auto path = ReminderFile::askPath(m_dialogs, m_state.stampeTipDir, ReminderFile::shopTitle());
    if (!path)
        return Outcome::Cancelled;

    archive::DataModel::applySortOrder(rs, kReminderSort);
    if (!writeReminder(m_dialogs, *path, ReminderFile::shopHeader(), description, rs, progress))
        return Outcome::Failed;
    archive::DataModel::applySortOrder(rs, sortIndex);
    QStringList cut;
    if (!printLabels(m_dialogs, m_printers, m_state, format, rs, {1, 1}, cut, m_oneLabelPerDoor, m_outlines))
        return Outcome::Failed;
    m_dialogs.message(closingText(cut), cut.isEmpty() ? MsgIcon::Information : MsgIcon::Exclamation);
    return Outcome::Printed;
}

LabelJobs::Outcome LabelJobs::printSingles(const std::vector<qint64>& nrs, LabelPosition start,
                                           int sortIndex) {
    if (nrs.empty()) {
        m_dialogs.message(QStringLiteral("Nessuna etichetta da stampare !"), MsgIcon::Information);
        return Outcome::NothingToDo;
    }
    const SheetFormat format = sheet();
    if (!format.contains(start)) {
        m_dialogs.message(QStringLiteral("L'etichetta di partenza (riga %1, colonna %2) non è sul foglio \"%3\" "
                                         "(%4 righe, %5 colonne).")
                              .arg(start.row)
                              .arg(start.column)
                              .arg(format.name)
                              .arg(format.rows)
                              .arg(format.columns),
                          MsgIcon::Exclamation);
        return Outcome::NothingToDo;
    }
    archive::Recordset rs;
    try {
        // One statement marks exactly the listed addresses; an NR no longer in the archive
        // simply marks nothing.
        QJsonArray list;
        for (qint64 nr : nrs)
            list.append(nr);
        archive::Statement mark(m_db, QStringLiteral(
            "UPDATE TabMAIL SET SERV = CASE WHEN NR IN (SELECT value FROM json_each(?1)) THEN 1 ELSE 0 END "
            "WHERE SERV IS NOT (CASE WHEN NR IN (SELECT value FROM json_each(?1)) THEN 1 ELSE 0 END)"));
        mark.bindText(1, QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact)));
        mark.exec();
        rs = archive::Recordset::open(m_db, printSelect(QStringLiteral("SERV = 1")),
                                      archive::LockType::ReadOnly);
    } catch (const common::AppError& e) {
        m_dialogs.message(e.standardText(), MsgIcon::Critical);
        return Outcome::Failed;
    }

    const qint64 count = m_oneLabelPerDoor ? labelCount(rs, true) : qint64(nrs.size());
    const qint64 sheets = format.sheetsFor(count, start);
    if (m_dialogs.message(confirmText(count, sheets, m_printers.currentName(), false,
                                      SheetFormat::paperName(format.paper)),
                          MsgIcon::Question, MsgButtons::OkCancel) != MsgResult::Ok)
        return Outcome::Cancelled;

    if (m_state.options.singleLabelReminder()) {
        // Cancel or an empty name: the labels are printed without a reminder file.
        if (const auto path = ReminderFile::askPath(m_dialogs, m_state.stampeSngDir, ReminderFile::singleTitle())) {
            archive::DataModel::applySortOrder(rs, kReminderSort);
            if (!writeReminder(m_dialogs, *path, ReminderFile::singleHeader(), {}, rs, {}))
                return Outcome::Failed;
        }
    }
    archive::DataModel::applySortOrder(rs, sortIndex);
    QStringList cut;
    if (!printLabels(m_dialogs, m_printers, m_state, format, rs, start, cut, m_oneLabelPerDoor, m_outlines))
        return Outcome::Failed;
    m_dialogs.message(closingText(cut), cut.isEmpty() ? MsgIcon::Information : MsgIcon::Exclamation);
    return Outcome::Printed;
}

std::optional<archive::Recordset> LabelJobs::groupAddresses(const QString& groupCode, int sortIndex) {
    if (groupCode.isEmpty()) {
        m_dialogs.message(QStringLiteral("Selezionare un Gruppo !"), MsgIcon::Information);
        return std::nullopt;
    }
    try {
        (void)archive::LikePattern::compile(groupCode);
        auto rs = archive::Recordset::open(m_db, printSelect(QStringLiteral("GR LIKE ?")),
                                           archive::LockType::ReadOnly, {groupCode});
        if (rs.recordCount() == 0) {
            m_dialogs.message(QStringLiteral("Nessun indirizzo con Gruppo '%1' !").arg(groupCode),
                              MsgIcon::Information);
            return std::nullopt;
        }
        archive::DataModel::applySortOrder(rs, sortIndex);
        return rs;
    } catch (const common::AppError& e) {
        m_dialogs.message(archive::FailureText::of(e), MsgIcon::Critical);
        return std::nullopt;
    }
}

std::optional<archive::Recordset> LabelJobs::singleAddresses(const std::vector<qint64>& nrs, int sortIndex) {
    if (nrs.empty()) {
        m_dialogs.message(QStringLiteral("Nessuna etichetta da stampare !"), MsgIcon::Information);
        return std::nullopt;
    }
    try {
        // The same addresses the SERV mark would select, without marking them.
        QJsonArray list;
        for (qint64 nr : nrs)
            list.append(nr);
        auto rs = archive::Recordset::open(
            m_db, printSelect(QStringLiteral("NR IN (SELECT value FROM json_each(?))")),
            archive::LockType::ReadOnly,
            {QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact))});
        archive::DataModel::applySortOrder(rs, sortIndex);
        return rs;
    } catch (const common::AppError& e) {
        m_dialogs.message(e.standardText(), MsgIcon::Critical);
        return std::nullopt;
    }
}

} // namespace velomar::printing
