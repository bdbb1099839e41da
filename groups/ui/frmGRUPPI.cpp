#include "groups/ui/frmGRUPPI.h"

#include "archive/ArchiveOpener.h"
#include "archive/FailureText.h"
#include "archive/Recordset.h"
#include "archive/Session.h"
#include "common/AppError.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "common/ui/GridStyle.h"
#include "groups/GroupsArchive.h"
#include "groups/ui/frmEditGrp.h"
#include "printing/GroupListPrinter.h"
#include "printing/PrintFailure.h"
#include "printing/Printer.h"
#include "printing/PrinterSelection.h"
#include "common/AppContext.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velomar::groups {

namespace {
const QString kByDescription = QStringLiteral("&Ordina per Descrizione");
const QString kByCode = QStringLiteral("&Ordina per Gruppo");
constexpr int kDescriptionMax = 50;
constexpr double kTwipsPerPixel = 15.0;
enum Column { ColCode, ColDescription, ColNr };
} // namespace

frmGRUPPI::frmGRUPPI(common::AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(context) {
    setObjectName(QStringLiteral("frmGRUPPI"));
    setWindowModality(Qt::ApplicationModal);
    // No close entry: the window is left through "Chiudi".
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    GrdGRUPPI = new QTableWidget(0, 3, this);
    GrdGRUPPI->setObjectName(QStringLiteral("GrdGRUPPI"));
    GrdGRUPPI->setHorizontalHeaderLabels({QStringLiteral("GRUPPO"), QStringLiteral("DESCRIZIONE"), QStringLiteral("NR")});
    common::ui::GridStyle::apply(GrdGRUPPI, true, 0, false);
    GrdGRUPPI->setSelectionMode(QAbstractItemView::SingleSelection);
    GrdGRUPPI->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GrdGRUPPI->verticalHeader()->setVisible(false);
    // The code column is at least as wide as its heading.
    GrdGRUPPI->setColumnWidth(ColCode, std::max(int(800 / kTwipsPerPixel),
                                                QFontMetrics(GrdGRUPPI->horizontalHeader()->font())
                                                        .horizontalAdvance(QStringLiteral("GRUPPO")) + 16));
    GrdGRUPPI->setColumnWidth(ColDescription, int(7100 / kTwipsPerPixel));
    GrdGRUPPI->setColumnHidden(ColNr, true);
    GrdGRUPPI->setMinimumSize(int(8300 / kTwipsPerPixel), 300);

    const auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    cmdNuovo = button("cmdNuovo", QStringLiteral("Nuovo Gruppo"));
    cmdModifica = button("cmdModifica", QStringLiteral("Modifica Gruppo"));
    cmdElimina = button("cmdElimina", QStringLiteral("Elimina Gruppo Selezionato"));
    cmdORD = button("cmdORD", kByDescription);
    cmdStampa = button("cmdStampa", QStringLiteral("Stampa la Lista"));
    cmdAnteprima = button("cmdAnteprima", QStringLiteral("Anteprima"));
    cmdProprieta = button("cmdProprieta", QStringLiteral("&Proprietà / Defrag"));
    cmdProprieta->setEnabled(false);
    cmdEsci = button("cmdEsci", QStringLiteral("Chiudi"));

    auto* order = new QGroupBox(QStringLiteral("Ordinamento"), this);
    (new QVBoxLayout(order))->addWidget(cmdORD);
    auto* side = new QVBoxLayout;
    for (QPushButton* b : {cmdNuovo, cmdModifica, cmdElimina})
        side->addWidget(b);
    side->addWidget(order);
    side->addWidget(cmdStampa);
    side->addWidget(cmdAnteprima);
    side->addStretch();
    side->addWidget(cmdProprieta);
    side->addWidget(cmdEsci);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(GrdGRUPPI, 1);
    layout->addLayout(side);

    connect(cmdNuovo, &QPushButton::clicked, this, &frmGRUPPI::cmdNuovo_Click);
    connect(cmdModifica, &QPushButton::clicked, this, &frmGRUPPI::cmdModifica_Click);
    connect(cmdElimina, &QPushButton::clicked, this, &frmGRUPPI::cmdElimina_Click);
    connect(cmdORD, &QPushButton::clicked, this, &frmGRUPPI::cmdORD_Click);
    connect(cmdStampa, &QPushButton::clicked, this, &frmGRUPPI::cmdStampa_Click);
    connect(cmdAnteprima, &QPushButton::clicked, this, &frmGRUPPI::cmdAnteprima_Click);
    connect(cmdEsci, &QPushButton::clicked, this, &frmGRUPPI::cmdEsci_Click);
    connect(cmdProprieta, &QPushButton::clicked, this, [this] {
        if (m_properties)
            m_properties();
    });
    connect(GrdGRUPPI, &QTableWidget::cellDoubleClicked, this, [this] { cmdModifica_Click(); });
}

frmGRUPPI::~frmGRUPPI() {
    if (m_open)
        m_ctx.session.closeGroups();
}

void frmGRUPPI::setPropertiesAction(std::function<void()> action) {
    cmdProprieta->setEnabled(bool(action));
    m_properties = std::move(action);
}

bool frmGRUPPI::load() {
    if (GroupsArchive::ensure(m_ctx.state.programDir, m_ctx.dialogs) == GroupsArchive::Prepared::Failed)
        return false;
    m_ctx.state.callerMode = QStringLiteral("Grup");
    archive::ArchiveOpener opener(m_ctx.state, m_ctx.dialogs);
    if (!opener.open(m_ctx.session.groupsDb, m_ctx.session.groupsRs,
                     GroupsArchive::path(m_ctx.state.programDir), false))
        return false;
    m_open = true;
    archive::Recordset& rs = m_ctx.session.groupsRs;
    rs.setSort(QStringLiteral("GRUPPO"));
    m_count = rs.recordCount();
    updateCaption();
    refill(-1);
    return true;
}

void frmGRUPPI::updateCaption() { setWindowTitle(QStringLiteral("Gruppi (%1)").arg(m_count)); }

void frmGRUPPI::refill(qint64 selectNr) {
    const archive::Recordset& rs = m_ctx.session.groupsRs;
    const int code = rs.fieldIndex(QStringLiteral("GRUPPO"));
    const int desc = rs.fieldIndex(QStringLiteral("DESCRIZIONE"));
    const int nr = rs.fieldIndex(QStringLiteral("NR"));
    GrdGRUPPI->setRowCount(int(rs.recordCount()));
    int select = 0;
    for (qint64 row = 0; row < rs.recordCount(); ++row) {
        const qint64 rowNr = rs.valueAt(row, nr).toLongLong();
        GrdGRUPPI->setItem(int(row), ColCode, new QTableWidgetItem(rs.textAt(row, code)));
        GrdGRUPPI->setItem(int(row), ColDescription, new QTableWidgetItem(rs.textAt(row, desc)));
        GrdGRUPPI->setItem(int(row), ColNr, new QTableWidgetItem(QString::number(rowNr)));
        if (rowNr == selectNr)
            select = int(row);
    }
    if (GrdGRUPPI->rowCount() > 0)
        GrdGRUPPI->selectRow(select);
}

qint64 frmGRUPPI::selectedNr() const {
    const int row = GrdGRUPPI->currentRow();
    if (row < 0 || !GrdGRUPPI->item(row, ColNr))
        return -1;
    return GrdGRUPPI->item(row, ColNr)->text().toLongLong();
}

bool frmGRUPPI::emptyListMessage() {
    if (m_count > 0)
        return false;
    m_ctx.dialogs.warn(QStringLiteral("La lista dei Gruppi è vuota !"));
    GrdGRUPPI->setFocus();
    return true;
}

std::optional<frmGRUPPI::Edited> frmGRUPPI::runEditor(const QString& title, const QString& code,
                                                     const QString& description, qint64 nr) {
    if (m_editor)
        return m_editor(title, code, description, nr);
    const archive::Recordset& rs = m_ctx.session.groupsRs;
    frmEditGrp dialog(m_ctx.dialogs, title, code, description,
                      [&rs, nr](const QString& c) { return GroupsArchive::codeTaken(rs, c, nr); }, this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return Edited{dialog.code(), dialog.description()};
}

void frmGRUPPI::reportError(const std::exception& error) {
    m_ctx.dialogs.critical(archive::FailureText::of(error));
}

void frmGRUPPI::cmdNuovo_Click() {
    const auto edited = runEditor(QStringLiteral("Nuovo Gruppo"), {}, {}, 0);
    if (!edited)
        return;
    archive::Recordset& rs = m_ctx.session.groupsRs;
    // Checked again here: the editor may be scripted, and the list may have changed.
    if (const auto problem = GroupsArchive::codeProblem(edited->code)) {
        m_ctx.dialogs.warn(*problem);
        return;
    }
    if (GroupsArchive::codeTaken(rs, edited->code, 0)) {
        m_ctx.dialogs.warn(QStringLiteral("Gruppo esistente !"));
        return;
    }
    try {
        rs.addNew();
        rs.setValue(QStringLiteral("GRUPPO"), edited->code);
        rs.setValue(QStringLiteral("DESCRIZIONE"), edited->description.left(kDescriptionMax));
        rs.update();
        const qint64 nr = rs.value(QStringLiteral("NR")).toLongLong();
        ++m_count;
        refill(nr);
    } catch (const std::exception& e) {
        rs.cancelUpdate();
        reportError(e);
    }
    updateCaption();
    GrdGRUPPI->setFocus();
}

void frmGRUPPI::cmdModifica_Click() {
    if (emptyListMessage())
        return;
    const qint64 nr = selectedNr();
    const int row = GrdGRUPPI->currentRow();
    if (nr < 0)
        return;
    const auto edited = runEditor(QStringLiteral("Modifica Gruppo"), GrdGRUPPI->item(row, ColCode)->text(),
                                  GrdGRUPPI->item(row, ColDescription)->text(), nr);
    if (!edited)
        return;
    archive::Recordset& rs = m_ctx.session.groupsRs;
    if (const auto problem = GroupsArchive::codeProblem(edited->code)) {
        m_ctx.dialogs.warn(*problem);
        return;
    }
    if (GroupsArchive::codeTaken(rs, edited->code, nr)) {
        m_ctx.dialogs.warn(QStringLiteral("Gruppo esistente !"));
        return;
    }
    try {
        const qint64 at = GroupsArchive::rowOfNr(rs, nr);
        if (at < 0)
            return;
        rs.setAbsolutePosition(at + 1);
        rs.setValue(QStringLiteral("GRUPPO"), edited->code);
        rs.setValue(QStringLiteral("DESCRIZIONE"), edited->description.left(kDescriptionMax));
        rs.update();
        refill(nr);
    } catch (const std::exception& e) {
        rs.cancelUpdate();
        reportError(e);
    }
    GrdGRUPPI->setFocus();
}

void frmGRUPPI::cmdElimina_Click() {
    if (emptyListMessage())
        return;
    const qint64 nr = selectedNr();
    const int row = GrdGRUPPI->currentRow();
    if (nr < 0)
        return;
    const QString question = QStringLiteral("Eliminare il Gruppo\r\n%1: %2 ?")
                                 .arg(GrdGRUPPI->item(row, ColCode)->text(),
                                      GrdGRUPPI->item(row, ColDescription)->text().trimmed());
    if (m_ctx.dialogs.message(question, common::MsgIcon::Question, common::MsgButtons::YesNo) ==
        common::MsgResult::Yes) {
        archive::Recordset& rs = m_ctx.session.groupsRs;
        try {
            const qint64 at = GroupsArchive::rowOfNr(rs, nr);
            if (at >= 0) {
                rs.setAbsolutePosition(at + 1);
                rs.deleteCurrent();
                --m_count;
            }
            // The row that followed the deleted one, or the last.
            const qint64 next = std::min<qint64>(row, rs.recordCount() - 1);
            const int nrField = rs.fieldIndex(QStringLiteral("NR"));
            refill(next >= 0 ? rs.valueAt(next, nrField).toLongLong() : -1);
        } catch (const std::exception& e) {
            reportError(e);
        }
    }
    updateCaption();
    GrdGRUPPI->setFocus();
}

void frmGRUPPI::cmdORD_Click() {
    const qint64 nr = selectedNr();
    archive::Recordset& rs = m_ctx.session.groupsRs;
    if (cmdORD->text() == kByDescription) {
        rs.setSort(QStringLiteral("DESCRIZIONE"));
        cmdORD->setText(kByCode);
    } else {
        rs.setSort(QStringLiteral("GRUPPO"));
        cmdORD->setText(kByDescription);
    }
    refill(nr);
    GrdGRUPPI->setFocus();
}

// The groups as the grid lists them, which is what the printed list shows.
std::vector<printing::GroupListPrinter::Group> frmGRUPPI::listedGroups() const {
    std::vector<printing::GroupListPrinter::Group> groups;
    for (int row = 0; row < GrdGRUPPI->rowCount(); ++row)
        groups.push_back({GrdGRUPPI->item(row, ColCode)->text(), GrdGRUPPI->item(row, ColDescription)->text()});
    return groups;
}

void frmGRUPPI::cmdAnteprima_Click() {
    if (emptyListMessage() || !m_openPreview)
        return;
    const std::vector<printing::GroupListPrinter::Group> groups = listedGroups();
    try {
        m_openPreview(
            this,
            [groups, today = QDate::currentDate()](printing::Printer& printer, printing::PrintSpan& span) {
                printing::GroupListPrinter::print(printer, groups, today, span);
            },
            [this] { cmdStampa_Click(); });
    } catch (const std::exception& e) {
        m_ctx.dialogs.critical(printing::printFailureText(e));
    }
}

void frmGRUPPI::cmdStampa_Click() {
    if (emptyListMessage())
        return;
    const std::vector<printing::GroupListPrinter::Group> groups = listedGroups();
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        auto printer = m_ctx.printers.createPrinter(m_ctx.dialogs);
        printing::GroupListPrinter::print(*printer, groups, QDate::currentDate());
        printer->finishJob();
        QApplication::restoreOverrideCursor();
        m_ctx.dialogs.info(QStringLiteral("Stampa completata."));
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        m_ctx.dialogs.critical(printing::printFailureText(e));
    }
}

void frmGRUPPI::closeEvent(QCloseEvent* event) {
    if (m_open) {
        m_ctx.session.closeGroups();
        m_open = false;
    }
    event->accept();
}

} // namespace velomar::groups
