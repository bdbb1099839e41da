#include "printing/ui/frmStampaSingola.h"

#include "addresses/AddressTableModel.h"
#include "addresses/HouseholdSource.h"
#include "archive/AddressRecord.h"
#include "archive/DataModel.h"
#include "archive/FailureText.h"
#include "archive/RecordsetAddressSource.h"
#include "archive/Session.h"
#include "common/AppError.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "common/ui/GridStyle.h"
#include "printing/LabelJobs.h"
#include "printing/ui/PreviewWindow.h"
#include "printing/ui/SheetView.h"
#include "printing/PrintFailure.h"
#include "printing/PrinterSelection.h"
#include "printing/SheetCatalog.h"
#include "printing/StampaBusta.h"
#include "common/AppContext.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velomar::printing {

namespace {
constexpr double kTwipsPerPixel = 15.0;
constexpr int kDefaultOrder = 2; // surname, first name
enum Field { NR = 0, COGNOME = 2, NOME1 = 3 };
const std::array<int, 18> kDefaultWidths{530, 0, 1900, 1700, 700, 0, 510, 1640, 370, 430, 0, 0, 0, 0, 370, 0, 0, 0};
const std::array<int, 18> kAllWidths{500, 1000, 1500, 1400, 700, 1800, 500, 1500, 350, 450,
                                     900, 900, 900, 900, 350, 2500, 2500, 0};

// Choice grid headings: the column heading cut to the field's width, in capitals
// ("Provincia" gives PR, "Nazione" NAZ).
class ChoiceHeaders : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section <= 15)
            return archive::DataModel::columnHeading(section)
                .left(archive::DataModel::columnWidth(section))
                .toUpper();
        return QIdentityProxyModel::headerData(section, orientation, role);
    }
};

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}
} // namespace

frmStampaSingola::frmStampaSingola(common::AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(context) {
    setObjectName(QStringLiteral("frmStampaSingola"));
    setWindowTitle(QStringLiteral("Stampa Etichette Singole"));
    setWindowModality(Qt::ApplicationModal);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    // Choice grid and its order.
    auto* fraINDIRIZZI = new QGroupBox(QStringLiteral("Indirizzi"), this);
    GRIDch = new QTableView(fraINDIRIZZI);
    GRIDch->setObjectName(QStringLiteral("GRIDch"));
    common::ui::GridStyle::apply(GRIDch, true, 0, true);
    GRIDch->setSelectionMode(QAbstractItemView::ExtendedSelection);
    GRIDch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GRIDch->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    GRIDch->installEventFilter(this);
    m_model = new addresses::AddressTableModel(this);
    auto* headers = new ChoiceHeaders(this);
    headers->setSourceModel(m_model);
    GRIDch->setModel(headers);
    (new QVBoxLayout(fraINDIRIZZI))->addWidget(GRIDch);

    auto* fraORDINAMENTO = new QGroupBox(QStringLiteral("Ordinamento Griglia"), this);
    cboORDINAMENTO = new QComboBox(fraORDINAMENTO);
    cboORDINAMENTO->setObjectName(QStringLiteral("cboORDINAMENTO"));
    cboORDINAMENTO->addItems(archive::DataModel::columnHeadings());
    (new QVBoxLayout(fraORDINAMENTO))->addWidget(cboORDINAMENTO);

    auto* fraSELEZIONA = new QGroupBox(QStringLiteral("Aggiungi"), this);
    cmdAggiungi = makeButton(fraSELEZIONA, "cmdAggiungi", QStringLiteral("Aggiungi Indirizzo/i Selezionato/i"));
    (new QVBoxLayout(fraSELEZIONA))->addWidget(cmdAggiungi);

    auto* fraMOVIMENTO = new QGroupBox(QStringLiteral("Movimento"), this);
    auto* moveLayout = new QGridLayout(fraMOVIMENTO);
    const std::pair<const char*, std::pair<QString, std::pair<int, Qt::KeyboardModifiers>>> moves[] = {
        {"cmdPrimo", {QStringLiteral("Primo"), {Qt::Key_Home, Qt::ControlModifier}}},
        {"cmdPrecedente", {QStringLiteral("Pagina Indietro"), {Qt::Key_PageUp, Qt::NoModifier}}},
        {"cmdIndietro", {QStringLiteral("Riga Indietro"), {Qt::Key_Up, Qt::NoModifier}}},
        {"cmdAvanti", {QStringLiteral("Riga Avanti"), {Qt::Key_Down, Qt::NoModifier}}},
        {"cmdSuccessivo", {QStringLiteral("Pagina Avanti"), {Qt::Key_PageDown, Qt::NoModifier}}},
        {"cmdUltimo", {QStringLiteral("Ultimo"), {Qt::Key_End, Qt::ControlModifier}}}};
    int m = 0;
    for (const auto& [name, spec] : moves) {
        auto* b = makeButton(fraMOVIMENTO, name, spec.first);
        const auto key = spec.second;
        connect(b, &QPushButton::clicked, this, [this, key] {
            GRIDch->setFocus();
            QKeyEvent press(QEvent::KeyPress, key.first, key.second);
            QApplication::sendEvent(GRIDch, &press);
        });
        moveLayout->addWidget(b, m / 2, m % 2);
        ++m;
    }

    auto* fraCOLONNE = new QGroupBox(QStringLiteral("Vedi Colonne"), this);
    cmdDefCol = makeButton(fraCOLONNE, "cmdDefCol", QStringLiteral("Colonne Default"));
    cmdVediCol = makeButton(fraCOLONNE, "cmdVediCol", QStringLiteral("Vedi Tutte le Colonne"));
    auto* colLayout = new QVBoxLayout(fraCOLONNE);
    colLayout->addWidget(cmdDefCol);
    colLayout->addWidget(cmdVediCol);

    // To-print list, count and sheet diagram.
    auto* fraSTAMPARE = new QGroupBox(QStringLiteral("Etichette da Stampare"), this);
    GRIDst = new QTableWidget(0, 3, fraSTAMPARE);
    GRIDst->setObjectName(QStringLiteral("GRIDst"));
    GRIDst->setHorizontalHeaderLabels({QStringLiteral("NR"), QStringLiteral("COGNOME"), QStringLiteral("NOME 1")});
    common::ui::GridStyle::apply(GRIDst, true, 0, true);
    GRIDst->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GRIDst->setColumnWidth(0, int(500 / kTwipsPerPixel));
    GRIDst->setColumnWidth(1, int(1900 / kTwipsPerPixel));
    GRIDst->setColumnWidth(2, int(1900 / kTwipsPerPixel));
    lblNrEti = new QLabel(fraSTAMPARE);
    lblNrEti->setObjectName(QStringLiteral("lblNrEti"));
    cmdEliminaSel = makeButton(fraSTAMPARE, "cmdEliminaSel", QStringLiteral("Elimina Selez."));
    cmdCancella = makeButton(fraSTAMPARE, "cmdCancella", QStringLiteral("Elimina Tutto"));
    picFoglio = new ui::SheetView(fraSTAMPARE);
    picFoglio->setObjectName(QStringLiteral("picFoglio"));
    picFoglio->setInteractive(true);
    picFoglio->setFormat(SheetCatalog::current(m_ctx.settings, &m_sheetNote));
    picFoglio->setFixedSize(picFoglio->sizeHint() * 1.2); // room to aim at small labels
    connect(picFoglio, &ui::SheetView::startChosen, this, [this](int k) { Etx_Click(k); });
    lblInizio = new QLabel(fraSTAMPARE);
    lblInizio->setObjectName(QStringLiteral("lblInizio"));
    lblInizio->setWordWrap(true);
    lblInizio->setFixedWidth(picFoglio->width());
    auto* sheet = new QVBoxLayout;
    sheet->addWidget(picFoglio);
    sheet->addWidget(lblInizio);
    sheet->addStretch();
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(lblNrEti);
    listButtons->addStretch();
    listButtons->addWidget(cmdEliminaSel);
    listButtons->addWidget(cmdCancella);
    auto* stLayout = new QGridLayout(fraSTAMPARE);
    stLayout->addWidget(GRIDst, 0, 0);
    stLayout->addLayout(sheet, 0, 1);
    stLayout->addLayout(listButtons, 1, 0, 1, 2);

    auto* fraSTAMPA = new QGroupBox(QStringLiteral("Stampa"), this);
    cboOrdSt = new QComboBox(fraSTAMPA);
    cboOrdSt->setObjectName(QStringLiteral("cboOrdSt"));
    cboOrdSt->addItems(archive::DataModel::columnHeadings());
    cboOrdSt->setCurrentIndex(kDefaultOrder);
    cmdStampa = makeButton(fraSTAMPA, "cmdStampa", QStringLiteral("Stampa Etichette Scelte"));
    auto* printLayout = new QVBoxLayout(fraSTAMPA);
    printLayout->addWidget(new QLabel(QStringLiteral("Ordinamento Stampa"), fraSTAMPA));
    printLayout->addWidget(cboOrdSt);
    chkFamiglie = new QCheckBox(QStringLiteral("Una sola etichetta per indirizzo"), fraSTAMPA);
    chkFamiglie->setObjectName(QStringLiteral("chkFamiglie"));
    chkFamiglie->setToolTip(QStringLiteral("Etichette e busta: il primo nell'ordine di stampa di chi abita allo "
                                           "stesso indirizzo, o FAMIGLIA ROSSI se i cognomi sono uguali"));
    printLayout->addWidget(chkFamiglie);
    printLayout->addWidget(cmdStampa);
    cmdAnteprima = makeButton(fraSTAMPA, "cmdAnteprima", QStringLiteral("Anteprima"));
    printLayout->addWidget(cmdAnteprima);
    chkContorni = new QCheckBox(QStringLiteral("Stampa i &contorni"), fraSTAMPA);
    chkContorni->setObjectName(QStringLiteral("chkContorni"));
    chkContorni->setToolTip(QStringLiteral("Stampa anche il contorno di ogni etichetta, per una prova su carta comune"));
    printLayout->addWidget(chkContorni);

    auto* fraBUSTA = new QGroupBox(QStringLiteral("St. Busta"), this);
    cmdBUSTA = makeButton(fraBUSTA, "cmdBUSTA", QStringLiteral("Stampa Ind. Selezionato su Busta"));
    cmdAnteprimaBusta = makeButton(fraBUSTA, "cmdAnteprimaBusta", QStringLiteral("Anteprima Busta"));
    auto* envelopeLayout = new QVBoxLayout(fraBUSTA);
    envelopeLayout->addWidget(cmdBUSTA);
    envelopeLayout->addWidget(cmdAnteprimaBusta);
    cmdEsci = makeButton(this, "cmdEsci", QStringLiteral("Esci"));

    auto* right = new QVBoxLayout;
    right->addWidget(fraSTAMPARE, 1);
    auto* bottomRight = new QHBoxLayout;
    bottomRight->addWidget(fraSTAMPA);
    bottomRight->addWidget(fraBUSTA);
    right->addLayout(bottomRight);
    right->addWidget(cmdEsci, 0, Qt::AlignRight);
    auto* tools = new QHBoxLayout;
    tools->addWidget(fraORDINAMENTO);
    tools->addWidget(fraSELEZIONA);
    tools->addWidget(fraMOVIMENTO);
    tools->addWidget(fraCOLONNE);
    auto* left = new QVBoxLayout;
    left->addWidget(fraINDIRIZZI, 1);
    left->addLayout(tools);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);
    resize(1200, 650);

    connect(cmdAggiungi, &QPushButton::clicked, this, &frmStampaSingola::cmdAggiungi_Click);
    connect(cmdEliminaSel, &QPushButton::clicked, this, &frmStampaSingola::cmdEliminaSel_Click);
    connect(cmdCancella, &QPushButton::clicked, this, &frmStampaSingola::cmdCancella_Click);
    connect(cmdStampa, &QPushButton::clicked, this, &frmStampaSingola::cmdStampa_Click);
    connect(cmdAnteprima, &QPushButton::clicked, this, &frmStampaSingola::cmdAnteprima_Click);
    connect(cmdBUSTA, &QPushButton::clicked, this, &frmStampaSingola::cmdBUSTA_Click);
    connect(cmdAnteprimaBusta, &QPushButton::clicked, this, &frmStampaSingola::cmdAnteprimaBusta_Click);
    connect(cmdEsci, &QPushButton::clicked, this, &frmStampaSingola::cmdEsci_Click);
    connect(cmdDefCol, &QPushButton::clicked, this, [this] { setColumnWidths(kDefaultWidths); });
    connect(cmdVediCol, &QPushButton::clicked, this, [this] { setColumnWidths(kAllWidths); });
    connect(GRIDch, &QTableView::doubleClicked, this, [this] { addCurrent(); });
    connect(GRIDst, &QTableWidget::cellDoubleClicked, this, [this](int row) { removeListRow(row); });
    connect(cboORDINAMENTO, &QComboBox::currentIndexChanged, this, &frmStampaSingola::cboORDINAMENTO_Click);
    showCount();
    showStart();
}

frmStampaSingola::~frmStampaSingola() {
    m_model->bind(nullptr);
    m_choice.close();
}

bool frmStampaSingola::load() {
    if (!m_ctx.session.mainDb.isOpen())
        return false;
    try {
        // What the grid, the labels and the envelope can show: a huge value stored by
        // another tool costs no more than a short one.
        m_choice = archive::Recordset::open(
            m_ctx.session.mainDb,
            QStringLiteral("SELECT %1, SERV FROM TabMAIL")
                .arg(archive::DataModel::printColumns().join(QStringLiteral(", "))),
            archive::LockType::ReadOnly);
    } catch (const common::AppError& e) {
        m_ctx.dialogs.critical(archive::FailureText::of(e));
        return false;
    }
    if (!m_sheetNote.isEmpty())
        m_ctx.dialogs.warn(m_sheetNote);
    m_model->bind(&m_choice);
    setColumnWidths(kDefaultWidths);
    cboORDINAMENTO->setCurrentIndex(kDefaultOrder);
    cboORDINAMENTO_Click();
    return true;
}

void frmStampaSingola::setColumnWidths(const std::array<int, 18>& twips) {
    // Never narrower than the heading, nor than the field's usual content.
    const QFontMetrics header(GRIDch->horizontalHeader()->font());
    const QFontMetrics cells(GRIDch->font());
    const auto sample = [](int column) {
        switch (column) {
        case NR:
        case 6: return QStringLiteral("00000"); // CAP
        case 8:
        case 14: return QStringLiteral("MM"); // PR, GR
        case 9: return QStringLiteral("SVIZZERA"); // NAZ
        default: return QString();
        }
    };
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int w = c < int(twips.size()) ? twips[std::size_t(c)] : 0;
        GRIDch->setColumnHidden(c, w == 0);
        if (w > 0) {
            const QString heading = GRIDch->model()->headerData(c, Qt::Horizontal).toString();
            GRIDch->setColumnWidth(c, std::max({int(w / kTwipsPerPixel), header.horizontalAdvance(heading) + 14,
                                                cells.horizontalAdvance(sample(c)) + 12}));
        }
    }
}

void frmStampaSingola::cboORDINAMENTO_Click() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_model->applySort(cboORDINAMENTO->currentIndex());
    QApplication::restoreOverrideCursor();
    if (m_model->rowCount() > 0 && !GRIDch->currentIndex().isValid())
        GRIDch->selectRow(0);
    GRIDch->setFocus();
}

qint64 frmStampaSingola::currentRow() const {
    const QModelIndex index = GRIDch->currentIndex();
    return index.isValid() ? index.row() : -1;
}

void frmStampaSingola::showCount() {
    lblNrEti->setText(QString::number(m_list.size()));
    const bool any = !m_list.empty();
    cmdCancella->setEnabled(any);
    cmdEliminaSel->setEnabled(any);
}

bool frmStampaSingola::add(qint64 row) {
    if (row < 0 || row >= m_choice.recordCount())
        return false;
    const qint64 nr = m_choice.valueAt(row, NR).toLongLong();
    if (!m_listed.insert(nr).second)
        return false;
    m_list.push_back(nr);
    const int at = GRIDst->rowCount();
    GRIDst->insertRow(at);
    GRIDst->setItem(at, 0, new QTableWidgetItem(QString::number(nr)));
    GRIDst->setItem(at, 1, new QTableWidgetItem(m_choice.textAt(row, COGNOME)));
    GRIDst->setItem(at, 2, new QTableWidgetItem(m_choice.textAt(row, NOME1)));
    return true;
}

void frmStampaSingola::addCurrent() {
    if (add(currentRow()))
        showCount();
    if (m_ctx.state.options.singleChoiceAutoAdvance() && currentRow() + 1 < m_model->rowCount())
        GRIDch->selectRow(int(currentRow() + 1));
}

void frmStampaSingola::cmdAggiungi_Click() {
    std::vector<int> rows;
    for (const QModelIndex& index : GRIDch->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    if (rows.empty() || rows == m_lastAddedSelection) {
        // Unchanged selection: only the current row, as a double click.
        addCurrent();
    } else {
        int added = 0;
        for (int row : rows)
            added += add(row) ? 1 : 0;
        m_lastAddedSelection = rows;
        const int target = rows.front() + std::max(0, added - 1);
        if (target < m_model->rowCount())
            GRIDch->selectRow(added == 0 ? rows.back() : target);
        m_lastAddedSelection = {int(currentRow())};
        showCount();
    }
    if (GRIDst->rowCount() > 0)
        GRIDst->selectRow(0);
    GRIDch->setFocus();
}

void frmStampaSingola::removeListRow(int row) {
    if (row < 0 || row >= GRIDst->rowCount())
        return;
    const qint64 nr = GRIDst->item(row, 0)->text().toLongLong();
    GRIDst->removeRow(row);
    m_listed.erase(nr);
    m_list.erase(std::find(m_list.begin(), m_list.end(), nr));
    showCount();
}

void frmStampaSingola::cmdEliminaSel_Click() {
    std::vector<int> rows;
    for (const QModelIndex& index : GRIDst->selectionModel()->selectedRows())
        rows.push_back(index.row());
    if (rows.empty())
        return;
    if (!m_ctx.dialogs.askYesNo(QStringLiteral("Cancellare %1 Indirizzi selezionati ?").arg(rows.size())))
        return;
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows)
        removeListRow(row);
    if (m_list.empty())
        cmdCancella_Click();
}

void frmStampaSingola::cmdCancella_Click() {
    GRIDst->setRowCount(0);
    m_list.clear();
    m_listed.clear();
    showCount();
    GRIDch->setFocus();
}

void frmStampaSingola::Etx_Click(int box) {
    picFoglio->setStart(box);
    showStart();
    GRIDch->setFocus();
}

void frmStampaSingola::showStart() {
    const LabelPosition start = startPosition();
    lblInizio->setText(QStringLiteral("%1\nInizio: riga %2, colonna %3")
                           .arg(picFoglio->format().name)
                           .arg(start.row)
                           .arg(start.column));
}

LabelPosition frmStampaSingola::startPosition() const {
    return picFoglio->format().positionOf(std::max(1, picFoglio->start()));
}

void frmStampaSingola::cmdStampa_Click() {
    LabelJobs jobs(m_ctx.state, m_ctx.dialogs, m_ctx.printers, m_ctx.session.mainDb);
    jobs.setSheet(picFoglio->format()); // the sheet shown, already read
    jobs.setOneLabelPerDoor(chkFamiglie->isChecked());
    jobs.setOutlines(chkContorni->isChecked());
    const auto outcome = jobs.printSingles(m_list, startPosition(), cboOrdSt->currentIndex());
    if (outcome == LabelJobs::Outcome::Printed) {
        cboORDINAMENTO->setCurrentIndex(0);
        cboORDINAMENTO_Click();
    }
    GRIDch->setFocus();
}

// The pages the job would print from the chosen label; nothing marked, no reminder file.
void frmStampaSingola::cmdAnteprima_Click() {
    LabelJobs jobs(m_ctx.state, m_ctx.dialogs, m_ctx.printers, m_ctx.session.mainDb);
    auto rs = jobs.singleAddresses(m_list, cboOrdSt->currentIndex());
    if (!rs)
        return;
    LabelOptions options = LabelOptions::from(m_ctx.state.options);
    options.outlines = chkContorni->isChecked(); // the preview shows what the print will hold
    PreviewWindow::openLabels(this, m_ctx.printers, std::move(*rs), options,
                              startPosition(), picFoglio->format(), [this] { cmdStampa_Click(); },
                              chkFamiglie->isChecked());
}

archive::AddressRecord frmStampaSingola::recordAt(qint64 row) const {
    archive::AddressRecord record;
    for (int f = 0; f < archive::AddressRecord::FieldCount; ++f)
        record[f] = m_choice.textAt(row, f);
    return record;
}

archive::AddressRecord frmStampaSingola::envelopeAt(qint64 row) {
    const archive::AddressRecord record = recordAt(row);
    if (!chkFamiglie->isChecked())
        return record;
    std::vector<qint64> nrs = m_list;
    nrs.push_back(record[NR].toLongLong());
    LabelJobs jobs(m_ctx.state, m_ctx.dialogs, m_ctx.printers, m_ctx.session.mainDb);
    auto rs = jobs.singleAddresses(nrs, cboOrdSt->currentIndex());
    if (!rs)
        return record;
    archive::RecordsetAddressSource source(*rs);
    addresses::HouseholdSource doors(source);
    const QString door = addresses::HouseholdSource::doorOf(record);
    archive::AddressRecord r;
    while (!door.isEmpty() && doors.next(r))
        if (addresses::HouseholdSource::doorOf(r) == door && r[COGNOME].startsWith(QLatin1String("FAMIGLIA ")))
            return r;
    return record;
}

void frmStampaSingola::cmdAnteprimaBusta_Click() {
    const qint64 row = currentRow();
    if (row < 0)
        return;
    const archive::AddressRecord record = envelopeAt(row);
    const EnvelopeOptions options = EnvelopeOptions::from(m_ctx.state.options);
    const auto sender = m_ctx.state.senders.sender(options.senderIndex);
    try {
        PreviewWindow::openJob(
            this, m_ctx.printers,
            // One page, printed whole: the envelope has no lines to start from.
            [options, sender, record](Printer& printer, PrintSpan&) {
                StampaBusta::print(printer, options, sender, record);
            },
            [this] { cmdBUSTA_Click(); });
    } catch (const std::exception& e) {
        m_ctx.dialogs.critical(printFailureText(e));
    }
}

void frmStampaSingola::cmdBUSTA_Click() {
    const qint64 row = currentRow();
    if (row < 0)
        return;
    const archive::AddressRecord record = envelopeAt(row);
    const QString text = QStringLiteral("Stampante: %1\r\nIndirizzo da stampare: \r\n%2 - %3")
                             .arg(m_ctx.printers.currentName(), record[NR], record[COGNOME]);
    if (m_ctx.dialogs.message(text, common::MsgIcon::Information, common::MsgButtons::OkCancel) ==
        common::MsgResult::Ok) {
        try {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            auto printer = m_ctx.printers.createPrinter(m_ctx.dialogs, PrinterSelection::Calibration::Applied);
            const EnvelopeOptions options = EnvelopeOptions::from(m_ctx.state.options);
            StampaBusta::print(*printer, options, m_ctx.state.senders.sender(options.senderIndex), record);
            printer->finishJob();
            QApplication::restoreOverrideCursor();
        } catch (const std::exception& e) {
            QApplication::restoreOverrideCursor();
            m_ctx.dialogs.critical(printFailureText(e));
        }
    }
    GRIDch->setFocus();
}

void frmStampaSingola::initialLetter(QChar letter) {
    const int field = cboORDINAMENTO->currentIndex();
    for (qint64 row = 0; row < m_choice.recordCount(); ++row) {
        if (m_choice.textAt(row, field).startsWith(letter, Qt::CaseInsensitive)) {
            GRIDch->selectRow(int(row));
            return;
        }
    }
    m_ctx.dialogs.info(QStringLiteral("Nessun indirizzo trovato con iniziale '%1'\r\nnel campo %2")
                           .arg(letter)
                           .arg(archive::DataModel::fieldName(field)));
}

bool frmStampaSingola::eventFilter(QObject* watched, QEvent* event) {
    if (watched == GRIDch && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space) {
            addCurrent();
            return true;
        }
        const QString text = key->text();
        if (text.size() == 1 && text[0].isLetterOrNumber() && key->modifiers() == Qt::NoModifier) {
            initialLetter(text[0].toUpper());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmStampaSingola::closeEvent(QCloseEvent* event) {
    m_model->bind(nullptr);
    m_choice.close();
    event->accept();
}

} // namespace velomar::printing
