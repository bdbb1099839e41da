#include "addresses/ui/frmEDIT.h"

#include "addresses/AddressTableModel.h"
#include "addresses/GridColumns.h"
#include "addresses/SearchFilter.h"
#include "addresses/ui/frmINPUT.h"
#include "archive/ArchiveOpener.h"
#include "archive/Database.h"
#include "archive/FailureText.h"
#include "archive/Recordset.h"
#include "archive/Session.h"
#include "common/AppError.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "common/ui/GridStyle.h"
#include "settings/Settings.h"
#include "common/AppContext.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QThread>

#include <algorithm>
#include <set>
#include <vector>

namespace velomar::addresses {

namespace G = GridColumns;
using archive::Recordset;

const QString frmEDIT::Caption = QStringLiteral("Lista Midifile");

namespace {

const QString kFilterMark = QStringLiteral("F");
const QString kInitials = QStringLiteral("Ricerca per Iniziale");

QString number(qint64 n) { return QString::number(n); }

// Hourglass for the life of a long step.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

// The program's open routine in mode "Edit".
void openForEdit(common::AppContext& ctx) {
    archive::ArchiveOpener opener(ctx.state, ctx.dialogs);
    if (!opener.open(ctx.session.mainDb, ctx.session.mainRs, ctx.state.currentArchivePath, true))
        ctx.state.callerMode = QStringLiteral("Erro");
}

} // namespace

frmEDIT::frmEDIT(common::AppContext& context, QWidget* parent)
    : QWidget(parent), m_ctx(context), m_opener(openForEdit) {
    setObjectName(QStringLiteral("frmEDIT"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Caption);
    m_ui.build(this);
    m_model = new AddressTableModel(this);
    wire();
}

frmEDIT::~frmEDIT() { unload(); }

void frmEDIT::wire() {
    QTableView* grid = m_ui.GRIGLIA;
    grid->setModel(m_model);
    common::ui::GridStyle::apply(grid, true, 0, true); // the program's grid look
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->setWordWrap(false);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setStretchLastSection(true); // notes take the spare room
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { GRIGLIA_EnterCell(); });
    // Shift+arrows move the cursor before extending the selection: settle on its top again.
    connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { GRIGLIA_EnterCell(); });
    connect(grid, &QTableView::doubleClicked, this, [this] {
        GRIGLIA_EnterCell();
        if (m_ctx.state.options.gridDoubleClickDeletes())
            cmdRimuovi_Click();
        else
            cmdModifica_Click();
    });

    for (int i = 0; i < G::SortCount; ++i)
        m_ui.cboORDINAMENTO->addItem(G::heading(i));
    for (int i = 1; i <= G::SearchFieldCount; ++i)
        m_ui.cboRICERCHE->addItem(G::heading(i));
    connect(m_ui.cboORDINAMENTO, &QComboBox::activated, this, [this] { cboORDINAMENTO_Click(); });
    connect(m_ui.cboRICERCHE, &QComboBox::activated, this, [this] { cboRICERCHE_Click(); });
    for (int i = 0; i < 26; ++i)
        connect(m_ui.optLett[std::size_t(i)], &QRadioButton::clicked, this,
                [this, i] { optLett_Click(65 + i); });
    connect(m_ui.optLettNUM, &QRadioButton::clicked, this, [this] { optLettNUM_Click(); });

    connect(m_ui.cmdLettALL, &QPushButton::clicked, this, &frmEDIT::cmdLettALL_Click);
    connect(m_ui.cmdTROVA, &QPushButton::clicked, this, &frmEDIT::cmdTROVA_Click);
    connect(m_ui.cmdVai, &QPushButton::clicked, this, &frmEDIT::cmdVai_Click);
    connect(m_ui.cmdAggiungi, &QPushButton::clicked, this, &frmEDIT::cmdAggiungi_Click);
    connect(m_ui.cmdModifica, &QPushButton::clicked, this, &frmEDIT::cmdModifica_Click);
    connect(m_ui.cmdRimuovi, &QPushButton::clicked, this, &frmEDIT::cmdRimuovi_Click);
    connect(m_ui.cmdChiudi, &QPushButton::clicked, this, &frmEDIT::cmdChiudi_Click);
    const std::pair<QPushButton*, std::pair<int, Qt::KeyboardModifiers>> moves[] = {
        {m_ui.cmdPrimo, {Qt::Key_Home, Qt::ControlModifier}},
        {m_ui.cmdPrecedente, {Qt::Key_PageUp, Qt::NoModifier}},
        {m_ui.cmdIndietro, {Qt::Key_Up, Qt::NoModifier}},
        {m_ui.cmdAvanti, {Qt::Key_Down, Qt::NoModifier}},
        {m_ui.cmdSuccessivo, {Qt::Key_PageDown, Qt::NoModifier}},
        {m_ui.cmdUltimo, {Qt::Key_End, Qt::ControlModifier}}};
    for (const auto& [b, key] : moves)
        connect(b, &QPushButton::clicked, this, [this, key] { navigate(key.first, key.second); });
    const std::pair<QPushButton*, PrintButton> prints[] = {
        {m_ui.cmdStEtiSingole, PrintButton::EtichetteSingole},
        {m_ui.cmdStampaEtichette, PrintButton::EtichettePerGruppo},
        {m_ui.cmdStampaLista, PrintButton::Lista},
        {m_ui.cmdSpedizione, PrintButton::SpedizioneInBlocco}};
    for (const auto& [b, which] : prints) {
        b->setEnabled(false);
        connect(b, &QPushButton::clicked, this, [this, which] { printClicked(which); });
    }
}

void frmEDIT::setPrintAction(PrintButton button, std::function<void()> action) {
    QPushButton* buttons[] = {m_ui.cmdStEtiSingole, m_ui.cmdStampaEtichette, m_ui.cmdStampaLista,
                              m_ui.cmdSpedizione};
    buttons[int(button)]->setEnabled(bool(action));
    m_print[std::size_t(button)] = std::move(action);
}

bool frmEDIT::load() {
    m_ctx.state.callerMode = QStringLiteral("Edit");
    {
        WaitCursor wait;
        m_opener(m_ctx);
    }
    if (m_ctx.state.callerMode == QStringLiteral("Erro") || !m_ctx.session.mainRs.isOpen()) {
        m_ctx.state.callerMode = QStringLiteral("Erro");
        m_unloaded = true;
        return false;
    }
    Recordset& rs = m_ctx.session.mainRs;
    m_loaded = true;
    emit archiveOpened();
    m_ctx.state.archiveCount = rs.recordCount();
    m_ctx.state.displayedCount = m_ctx.state.archiveCount;
    setStatus(4, QString());

    m_ui.cboRICERCHE->setCurrentIndex(G::searchFieldFromStore(m_ctx.settings.campoRicerche()));
    m_ui.fraINIZIALI->setEnabled(m_ui.cboRICERCHE->currentIndex() != 0);
    m_ui.cmdTROVA->setToolTip(QStringLiteral("Trova ") + m_ui.cboRICERCHE->currentText());
    m_sortIndex = G::sortFromStore(m_ctx.settings.ordinamento());
    m_ui.cboORDINAMENTO->setCurrentIndex(m_sortIndex);
    try {
        rs.setSort(AddressTableModel::sortSpec(m_sortIndex));
    } catch (const common::AppError& error) {
        reportError(error);
    }
    setStatus(5, QStringLiteral("Ord. ") + G::heading(m_sortIndex));

    m_model->bind(&rs);
    if (m_ctx.state.archiveCount > 0) {
        rs.moveFirst();
        syncGridToRecordset();
    } else {
        setStatus(3, QStringLiteral("0/0"));
    }
    readColumnWidths();
    return true;
}

void frmEDIT::unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_ctx.state.callerMode != QStringLiteral("Erro") && m_ctx.session.mainRs.isOpen()) {
        WaitCursor wait;
        Recordset& rs = m_ctx.session.mainRs;
        try {
            if (rs.isEditing())
                rs.cancelUpdate();
            rs.setFilter(QString());
            m_ctx.state.archiveCount = rs.recordCount();
        } catch (const common::AppError&) {
            // Closing goes on whatever the record set says.
        }
        writeSettings(); // while the columns still exist
        m_model->bind(nullptr);
        for (int panel = 1; panel <= 6; ++panel)
            setStatus(panel, QString());
        m_ctx.session.closeMain();
    }
    m_model->bind(nullptr);
    m_ctx.state.displayedCount = 0;
    if (m_loaded)
        emit archiveClosed();
}

void frmEDIT::closeEvent(QCloseEvent* event) {
    unload();
    event->accept();
}

void frmEDIT::cmdChiudi_Click() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->close();
        return;
    }
    close();
}

void frmEDIT::hideForWindow() { hide(); }

void frmEDIT::setVisible(bool visible) {
    QWidget::setVisible(visible);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()); sub && sub->isVisible() != visible)
        sub->setVisible(visible);
}

void frmEDIT::showAgain() {
    show();
    if (m_ctx.session.mainRs.isOpen())
        syncGridToRecordset();
    focusGrid();
}

void frmEDIT::setStatus(int panel, const QString& text) {
    m_status[std::size_t(panel)] = text;
    emit statusPanelChanged(panel, text);
}

QString frmEDIT::statusText(int panel) const {
    return panel >= 1 && panel <= 6 ? m_status[std::size_t(panel)] : QString();
}

QString frmEDIT::sortText() const { return G::heading(m_sortIndex); }

int frmEDIT::searchField() const { return m_ui.cboRICERCHE->currentIndex() + 1; }

void frmEDIT::focusGrid() {
    if (m_ui.GRIGLIA->isVisible())
        m_ui.GRIGLIA->setFocus();
}

void frmEDIT::reportError(const std::exception& error) {
    m_ctx.dialogs.critical(archive::FailureText::of(error));
}

// ---- Position --------------------------------------------------------------------------

qint64 frmEDIT::currentRow() const {
    // The top of the selection, whichever way the user extended it.
    int top = -1;
    for (const QItemSelectionRange& r : m_ui.GRIGLIA->selectionModel()->selection())
        top = top < 0 ? r.top() : std::min(top, r.top());
    if (top >= 0)
        return top + 1;
    const QModelIndex current = m_ui.GRIGLIA->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

qint64 frmEDIT::selectionCount() const {
    const QItemSelection selection = m_ui.GRIGLIA->selectionModel()->selection();
    std::vector<std::pair<int, int>> spans;
    for (const QItemSelectionRange& r : selection)
        spans.emplace_back(r.top(), r.bottom());
    std::sort(spans.begin(), spans.end());
    qint64 count = 0;
    int covered = -1;
    for (auto [top, bottom] : spans) {
        top = std::max(top, covered + 1);
        if (bottom >= top) {
            count += bottom - top + 1;
            covered = bottom;
        }
    }
    if (count == 0 && currentRow() > 0)
        return 1; // the current row is what the commands act on
    return count;
}

std::vector<qint64> frmEDIT::selectedNumbers() const {
    std::vector<qint64> nrs;
    const Recordset& rs = m_ctx.session.mainRs;
    if (!rs.isOpen())
        return nrs;
    std::set<int> rows;
    for (const QItemSelectionRange& r : m_ui.GRIGLIA->selectionModel()->selection())
        for (int row = r.top(); row <= r.bottom(); ++row)
            rows.insert(row);
    const int nr = rs.fieldIndex(QStringLiteral("NR"));
    for (int row : rows)
        if (nr >= 0 && row < rs.recordCount())
            nrs.push_back(rs.valueAt(row, nr).toLongLong());
    return nrs;
}

qint64 frmEDIT::selectionTopRow() const { return currentRow(); }

void frmEDIT::GRIGLIA_EnterCell() {
    if (m_syncing || !m_ctx.session.mainRs.isOpen())
        return;
    const qint64 row = currentRow();
    if (m_ctx.state.displayedCount != 0 && row > 0) {
        setStatus(3, number(row) + u'/' + number(m_ctx.state.displayedCount));
        Recordset& rs = m_ctx.session.mainRs;
        if (rs.absolutePosition() != row)
            rs.setAbsolutePosition(row);
    } else if (m_ctx.state.displayedCount == 0) {
        setStatus(3, QStringLiteral("0/0"));
    }
}

void frmEDIT::syncGridToRecordset() {
    Recordset& rs = m_ctx.session.mainRs;
    const qint64 pos = rs.isOpen() ? rs.absolutePosition() : 0;
    if (pos >= 1 && pos <= m_model->rowCount()) {
        const int column = std::max(0, m_ui.GRIGLIA->currentIndex().column());
        const QModelIndex index = m_model->index(int(pos - 1), column);
        m_syncing = true;
        m_ui.GRIGLIA->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_syncing = false;
        m_ui.GRIGLIA->scrollTo(index);
    }
    showPosition();
}

void frmEDIT::showPosition() {
    const qint64 row = currentRow();
    if (m_ctx.state.displayedCount > 0 && row > 0)
        setStatus(3, number(row) + u'/' + number(m_ctx.state.displayedCount));
    else
        setStatus(3, QStringLiteral("0/0"));
}

void frmEDIT::navigate(int key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(m_ui.GRIGLIA, &press);
    focusGrid();
}

bool frmEDIT::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui.GRIGLIA && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        const bool plain = (key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
        if (plain && text.size() == 1 && text.at(0).unicode() < 128 && text.at(0).isLetterOrNumber()) {
            // Typing a letter or digit runs the initial filter on the search field.
            if (m_ui.fraINIZIALI->isEnabled()) {
                const QChar c = text.at(0).toUpper();
                if (c.isDigit())
                    optLettNUM_Click();
                else
                    optLett_Click(c.unicode());
            }
            return true;
        }
    }
    if (watched == m_ui.GRIGLIA->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        cmdRimuovi_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Sort and columns ------------------------------------------------------------------

void frmEDIT::cboORDINAMENTO_Click() {
    if (m_ctx.state.displayedCount == 0 || !m_ctx.session.mainRs.isOpen()) {
        focusGrid();
        return;
    }
    {
        WaitCursor wait;
        m_sortIndex = m_ui.cboORDINAMENTO->currentIndex();
        try {
            m_model->applySort(m_sortIndex);
        } catch (const common::AppError& error) {
            reportError(error);
        }
        setStatus(5, QStringLiteral("Ord. ") + G::heading(m_sortIndex));
    }
    syncGridToRecordset();
    focusGrid();
}

void frmEDIT::DefaultGriglia() {
    // The default widths were made for a narrow 8-point font: never narrower than the
    // header, nor than five digits for the number and the postcode.
    const double dpi = m_ui.GRIGLIA->logicalDpiX();
    const QFontMetrics header(m_ui.GRIGLIA->horizontalHeader()->font());
    const QFontMetrics cells(m_ui.GRIGLIA->font());
    for (int c = 0; c < G::Serv; ++c) {
        int width = std::max(G::twipsToPixels(G::defaultWidthTwips(c), dpi),
                             header.horizontalAdvance(G::header(c)) + 14);
        if (c == 0 || c == 6)
            width = std::max(width, cells.horizontalAdvance(QStringLiteral("00000")) + 10);
        m_ui.GRIGLIA->setColumnWidth(c, width);
    }
    m_ui.GRIGLIA->setColumnWidth(G::Serv, 0);
    m_ui.GRIGLIA->setColumnHidden(G::Serv, true);
}

void frmEDIT::readColumnWidths() {
    const double dpi = m_ui.GRIGLIA->logicalDpiX();
    std::array<int, G::StoredCount> widths{};
    for (int c = 0; c < G::StoredCount; ++c) {
        const std::optional<int> stored = m_ctx.settings.gridColumnWidth(c);
        if (!stored) {
            DefaultGriglia();
            return;
        }
        widths[std::size_t(c)] = std::clamp(*stored, 0, 30000);
    }
    for (int c = 0; c < G::StoredCount; ++c)
        m_ui.GRIGLIA->setColumnWidth(c, G::twipsToPixels(widths[std::size_t(c)], dpi));
    m_ui.GRIGLIA->setColumnHidden(G::Serv, true); // never shown, whatever was stored
}

void frmEDIT::writeSettings() {
    const double dpi = m_ui.GRIGLIA->logicalDpiX();
    for (int c = 0; c < G::StoredCount; ++c)
        m_ctx.settings.setGridColumnWidth(c, G::pixelsToTwips(m_ui.GRIGLIA->columnWidth(c), dpi));
    m_ctx.settings.setCampoRicerche(m_ui.cboRICERCHE->currentIndex());
    m_ctx.settings.setOrdinamento(m_ui.cboORDINAMENTO->currentIndex());
    m_ctx.settings.sync();
}

// ---- Print buttons ---------------------------------------------------------------------

void frmEDIT::printClicked(PrintButton button) {
    if (m_ctx.state.displayedCount == 0)
        m_ctx.dialogs.message(QStringLiteral("Non ci sono Indirizzi da stampare."),
                              common::MsgIcon::Exclamation);
    else if (const auto& action = m_print[std::size_t(button)])
        action();
    focusGrid();
}

} // namespace velomar::addresses
