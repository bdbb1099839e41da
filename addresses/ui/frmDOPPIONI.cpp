#include "addresses/ui/frmDOPPIONI.h"

#include "addresses/DuplicateMerge.h"
#include "addresses/NotDuplicates.h"
#include "archive/DataModel.h"
#include "archive/FailureText.h"
#include "common/DialogService.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velomar::addresses {

using archive::DataModel;

namespace {

constexpr int kFirstField = DataModel::TITOLO;
const QColor kDiffers(255, 236, 150);

QString personOf(const archive::AddressRecord& r) {
    return (r[DataModel::COGNOME].trimmed() + u' ' + r[DataModel::NOME1].trimmed()).trimmed();
}

} // namespace

frmDOPPIONI::frmDOPPIONI(common::DialogService& dialogs, archive::Database& db, std::function<void()> changed,
                         QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_db(db), m_changed(std::move(changed)) {
    setObjectName(QStringLiteral("frmDOPPIONI"));
    setWindowTitle(QStringLiteral("Cerca doppioni"));
    buildUi();
    search();
}

void frmDOPPIONI::buildUi() {
    auto* layout = new QVBoxLayout(this);
    lblTrovati = new QLabel(this);
    lblTrovati->setObjectName(QStringLiteral("lblTrovati"));
    layout->addWidget(lblTrovati);
    auto* body = new QHBoxLayout;
    lstGRUPPI = new QListWidget(this);
    lstGRUPPI->setObjectName(QStringLiteral("lstGRUPPI"));
    lstGRUPPI->setMaximumWidth(300);
    body->addWidget(lstGRUPPI);
    GRIDdoppi = new QTableWidget(this);
    GRIDdoppi->setObjectName(QStringLiteral("GRIDdoppi"));
    GRIDdoppi->setEditTriggers(QAbstractItemView::NoEditTriggers);
    body->addWidget(GRIDdoppi, 1);
    layout->addLayout(body, 1);
    auto* note = new QLabel(QStringLiteral("In giallo i campi diversi. Un clic su un valore lo sceglie per "
                                           "l'indirizzo da tenere; Note e Appunti sono uniti."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* buttons = new QHBoxLayout;
    auto* lblTieni = new QLabel(QStringLiteral("&Tieni l'indirizzo:"), this);
    cboTieni = new QComboBox(this);
    cboTieni->setObjectName(QStringLiteral("cboTieni"));
    lblTieni->setBuddy(cboTieni);
    cmdUnisci = new QPushButton(QStringLiteral("&Unisci"), this);
    cmdUnisci->setObjectName(QStringLiteral("cmdUnisci"));
    cmdNonDoppioni = new QPushButton(QStringLiteral("&Non sono doppioni"), this);
    cmdNonDoppioni->setObjectName(QStringLiteral("cmdNonDoppioni"));
    cmdChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    buttons->addWidget(lblTieni);
    buttons->addWidget(cboTieni);
    buttons->addStretch(1);
    buttons->addWidget(cmdUnisci);
    buttons->addWidget(cmdNonDoppioni);
    buttons->addWidget(cmdChiudi);
    layout->addLayout(buttons);
    resize(980, 560);

    connect(lstGRUPPI, &QListWidget::currentRowChanged, this, &frmDOPPIONI::showGroup);
    connect(GRIDdoppi, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column < int(m_records.size()))
            chooseValue(row + kFirstField, column);
    });
    connect(cmdUnisci, &QPushButton::clicked, this, &frmDOPPIONI::cmdUnisci_Click);
    connect(cmdNonDoppioni, &QPushButton::clicked, this, &frmDOPPIONI::cmdNonDoppioni_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::reject);
}

void frmDOPPIONI::search() {
    try {
        DuplicateFinder finder;
        finder.addArchive(m_db);
        finder.setKeptApart(NotDuplicates::read(m_db));
        m_groups = finder.groups();
    } catch (const std::exception& e) {
        m_groups.clear();
        m_dialogs.critical(QStringLiteral("Ricerca dei doppioni non riuscita.\n") + archive::FailureText::of(e));
    }
    fillList();
}

void frmDOPPIONI::fillList() {
    lblTrovati->setText(m_groups.empty() ? QStringLiteral("Nessun doppione trovato.")
                                         : QStringLiteral("Gruppi di probabili doppioni: %1 (i più certi prima)")
                                               .arg(m_groups.size()));
    const QSignalBlocker block(lstGRUPPI);
    lstGRUPPI->clear();
    for (const DuplicateGroup& g : m_groups) {
        QString who;
        try {
            const auto first = DuplicateMerge::load(m_db, {g.nrs.front()});
            if (!first.empty())
                who = personOf(first.front());
        } catch (const std::exception&) {
            who.clear(); // the list still shows the numbers
        }
        lstGRUPPI->addItem(QStringLiteral("%1  %2 (%3 indirizzi)")
                               .arg(QLocale(QLocale::Italian).toString(g.score, 'f', 2), who)
                               .arg(g.nrs.size()));
    }
    m_shown = -1;
    showGroup(m_groups.empty() ? -1 : 0);
    lstGRUPPI->setCurrentRow(m_shown);
}

void frmDOPPIONI::showGroup(int index) {
    m_shown = index;
    m_records.clear();
    GRIDdoppi->clear();
    cboTieni->clear();
    const bool any = index >= 0 && index < int(m_groups.size());
    cmdUnisci->setEnabled(any);
    cmdNonDoppioni->setEnabled(any);
    if (!any) {
        GRIDdoppi->setRowCount(0);
        GRIDdoppi->setColumnCount(0);
        return;
    }
    try {
        m_records = DuplicateMerge::load(m_db, m_groups[std::size_t(index)].nrs);
    } catch (const std::exception& e) {
        m_dialogs.critical(archive::FailureText::of(e));
        return;
    }
    const int members = int(m_records.size());
    GRIDdoppi->setColumnCount(members + 1);
    GRIDdoppi->setRowCount(archive::AddressRecord::FieldCount - kFirstField);
    QStringList headings;
    for (const auto& r : m_records) {
        headings << QStringLiteral("Nr. ") + r[DataModel::NR];
        cboTieni->addItem(QStringLiteral("Nr. %1 %2").arg(r[DataModel::NR], personOf(r)));
    }
    headings << QStringLiteral("Da tenere");
    GRIDdoppi->setHorizontalHeaderLabels(headings);
    QStringList fields;
    for (int f = kFirstField; f < archive::AddressRecord::FieldCount; ++f)
        fields << DataModel::columnHeading(f);
    GRIDdoppi->setVerticalHeaderLabels(fields);
    const archive::AddressRecord proposal = DuplicateMerge::proposal(m_records);
    for (int f = kFirstField; f < archive::AddressRecord::FieldCount; ++f) {
        bool differs = false;
        for (const auto& r : m_records)
            differs = differs || r[f] != m_records.front()[f];
        for (int m = 0; m < members; ++m) {
            auto* item = new QTableWidgetItem(m_records[std::size_t(m)][f]);
            if (differs)
                item->setBackground(kDiffers);
            GRIDdoppi->setItem(f - kFirstField, m, item);
        }
        auto* kept = new QTableWidgetItem(proposal[f]);
        QFont bold = kept->font();
        bold.setBold(true);
        kept->setFont(bold);
        GRIDdoppi->setItem(f - kFirstField, members, kept);
    }
    GRIDdoppi->resizeColumnsToContents();
}

QString frmDOPPIONI::keptValue(int field) const {
    const QTableWidgetItem* item = GRIDdoppi->item(field - kFirstField, int(m_records.size()));
    return item ? item->text() : QString();
}

void frmDOPPIONI::chooseValue(int field, int member) {
    if (field < kFirstField || field >= archive::AddressRecord::FieldCount || member < 0 ||
        member >= int(m_records.size()))
        return;
    if (QTableWidgetItem* item = GRIDdoppi->item(field - kFirstField, int(m_records.size())))
        item->setText(m_records[std::size_t(member)][field]);
}

void frmDOPPIONI::chooseKept(int member) {
    if (member >= 0 && member < cboTieni->count())
        cboTieni->setCurrentIndex(member);
}

void frmDOPPIONI::cmdUnisci_Click() {
    const int keep = cboTieni->currentIndex();
    if (keep < 0 || keep >= int(m_records.size()))
        return;
    archive::AddressRecord kept;
    kept[DataModel::NR] = m_records[std::size_t(keep)][DataModel::NR];
    for (int f = kFirstField; f < archive::AddressRecord::FieldCount; ++f)
        kept[f] = keptValue(f);
    std::vector<qint64> removed;
    for (const auto& r : m_records)
        if (r[DataModel::NR] != kept[DataModel::NR])
            removed.push_back(r[DataModel::NR].toLongLong());
    QStringList numbers;
    for (const qint64 nr : removed)
        numbers << QString::number(nr);
    if (!m_dialogs.askYesNo(QStringLiteral("Tenere l'indirizzo Nr. %1 con i valori scelti e cancellare "
                                           "gli indirizzi Nr. %2 ?")
                                .arg(kept[DataModel::NR], numbers.join(QStringLiteral(", "))),
                            common::MsgResult::No, QStringLiteral("Unisci doppioni")))
        return;
    try {
        DuplicateMerge::merge(m_db, kept, removed);
    } catch (const std::exception& e) {
        m_dialogs.critical(QStringLiteral("Unione non riuscita: l'archivio è rimasto com'era.\n") +
                           archive::FailureText::of(e));
        return;
    }
    if (m_changed)
        m_changed();
    dropShownGroup();
}

void frmDOPPIONI::cmdNonDoppioni_Click() {
    if (m_shown < 0 || m_shown >= int(m_groups.size()))
        return;
    try {
        NotDuplicates::remember(m_db, m_groups[std::size_t(m_shown)].nrs);
    } catch (const std::exception& e) {
        m_dialogs.critical(QStringLiteral("Scelta non registrata.\n") + archive::FailureText::of(e));
        return;
    }
    dropShownGroup();
}

void frmDOPPIONI::dropShownGroup() {
    const int was = m_shown;
    m_groups.erase(m_groups.begin() + was);
    fillList();
    const int next = std::min(was, int(m_groups.size()) - 1);
    lstGRUPPI->setCurrentRow(next);
    showGroup(next);
}

} // namespace velomar::addresses
