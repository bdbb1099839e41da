#include "addresses/ui/frmVERIFICA.h"

#include "addresses/AddressCheck.h"
#include "addresses/ArchiveGuard.h"
#include "archive/FailureText.h"
#include "archive/Session.h"
#include "common/AppContext.h"
#include "common/AppError.h"
#include "common/DialogService.h"
#include "settings/Settings.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velomar::addresses {

namespace {

enum Column { Scelta, Nr, Cognome, Cap, Citta, Prov, Motivo, Proposta, ColumnCount };

ItalianPlaces placesFor(common::AppContext& context) {
    try {
        return ItalianPlaces::forUser(context.settings);
    } catch (const common::AppError& e) {
        context.dialogs.warn(e.description() + QStringLiteral("\nLa verifica usa il solo elenco dei comuni."));
        return ItalianPlaces::builtin();
    }
}

} // namespace

frmVERIFICA::frmVERIFICA(common::AppContext& context, EntryOpener openEntry, QWidget* parent)
    : QDialog(parent), m_ctx(context), m_openEntry(std::move(openEntry)), m_places(placesFor(context)) {
    setObjectName(QStringLiteral("frmVERIFICA"));
    setWindowTitle(QStringLiteral("Verifica indirizzi"));
    auto* root = new QVBoxLayout(this);
    lblConteggio = new QLabel(this);
    lblConteggio->setObjectName(QStringLiteral("lblConteggio"));
    lblConteggio->setWordWrap(true);
    root->addWidget(lblConteggio);

    GRIGLIA = new QTableWidget(0, ColumnCount, this);
    GRIGLIA->setObjectName(QStringLiteral("GRIGLIA"));
    GRIGLIA->setHorizontalHeaderLabels({QStringLiteral("Correggi"), QStringLiteral("NR"), QStringLiteral("Cognome"),
                                        QStringLiteral("CAP"), QStringLiteral("Città"), QStringLiteral("Prov."),
                                        QStringLiteral("Motivo"), QStringLiteral("Correzione proposta")});
    GRIGLIA->setSelectionBehavior(QAbstractItemView::SelectRows);
    GRIGLIA->setSelectionMode(QAbstractItemView::SingleSelection);
    GRIGLIA->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GRIGLIA->verticalHeader()->hide();
    GRIGLIA->setWordWrap(false);
    GRIGLIA->horizontalHeader()->setStretchLastSection(true);
    root->addWidget(GRIGLIA, 1);

    auto* buttons = new QHBoxLayout;
    cmdSicure = new QPushButton(QStringLiteral("Scegli le &sicure"), this);
    cmdSicure->setObjectName(QStringLiteral("cmdSicure"));
    cmdSicure->setToolTip(QStringLiteral("Spunta le correzioni che non lasciano dubbi"));
    cmdApplica = new QPushButton(QStringLiteral("&Applica le correzioni"), this);
    cmdApplica->setObjectName(QStringLiteral("cmdApplica"));
    cmdScheda = new QPushButton(QStringLiteral("Apri nella sc&heda"), this);
    cmdScheda->setObjectName(QStringLiteral("cmdScheda"));
    cmdChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    buttons->addWidget(cmdSicure);
    buttons->addStretch(1);
    buttons->addWidget(cmdScheda);
    buttons->addWidget(cmdApplica);
    buttons->addWidget(cmdChiudi);
    root->addLayout(buttons);
    connect(cmdSicure, &QPushButton::clicked, this, &frmVERIFICA::cmdSicure_Click);
    connect(cmdApplica, &QPushButton::clicked, this, &frmVERIFICA::cmdApplica_Click);
    connect(cmdScheda, &QPushButton::clicked, this, &frmVERIFICA::cmdScheda_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::accept);
    connect(GRIGLIA, &QTableWidget::cellDoubleClicked, this, [this](int, int column) {
        if (column != Scelta)
            cmdScheda_Click();
    });
    resize(1100, 520);
    scan();
}

void frmVERIFICA::scan() {
    GRIGLIA->setRowCount(0);
    m_suspects.clear();
    ArchiveCheck::Counts counts;
    if (m_ctx.session.mainDb.isOpen()) {
        try {
            m_suspects = ArchiveCheck::scan(m_ctx.session.mainDb, AddressCheck(m_places), &counts);
        } catch (const std::exception& e) {
            m_ctx.dialogs.critical(archive::FailureText::of(e));
        }
    }
    GRIGLIA->setRowCount(int(m_suspects.size()));
    for (int row = 0; row < m_suspects.size(); ++row) {
        const ArchiveCheck::Suspect& s = m_suspects[row];
        auto* tick = new QTableWidgetItem;
        if (s.finding.hasProposal()) {
            tick->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            tick->setCheckState(Qt::Unchecked);
        } else {
            tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
        GRIGLIA->setItem(row, Scelta, tick);
        const QStringList texts = {QString::number(s.nr),
                                   s.cognome,
                                   s.place.cap,
                                   s.place.citta,
                                   s.place.prov,
                                   s.finding.reason,
                                   s.finding.hasProposal()
                                       ? AddressCheck::describe(s.finding.proposal) +
                                             (s.finding.ambiguous ? QStringLiteral(" (da controllare)") : QString())
                                       : QString()};
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            item->setToolTip(texts[c]);
            GRIGLIA->setItem(row, Nr + c, item);
        }
    }
    GRIGLIA->resizeColumnsToContents();
    lblConteggio->setText(QStringLiteral("Indirizzi italiani verificati: %1; da controllare: %2; località non comuni: "
                                         "%3; indirizzi esteri non verificati: %4.")
                              .arg(counts.checked)
                              .arg(counts.suspects)
                              .arg(counts.localities)
                              .arg(counts.foreign));
    cmdApplica->setEnabled(!m_suspects.isEmpty());
    cmdScheda->setEnabled(!m_suspects.isEmpty() && m_openEntry);
    cmdSicure->setEnabled(!m_suspects.isEmpty());
}

void frmVERIFICA::setTicked(int row, bool ticked) {
    if (QTableWidgetItem* tick = GRIGLIA->item(row, Scelta); tick && (tick->flags() & Qt::ItemIsUserCheckable))
        tick->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void frmVERIFICA::cmdSicure_Click() {
    for (int row = 0; row < m_suspects.size(); ++row)
        setTicked(row, m_suspects[row].finding.unambiguous());
}

void frmVERIFICA::cmdApplica_Click() {
    QList<ArchiveCheck::Suspect> chosen;
    for (int row = 0; row < m_suspects.size(); ++row)
        if (GRIGLIA->item(row, Scelta)->checkState() == Qt::Checked)
            chosen.append(m_suspects[row]);
    if (chosen.isEmpty()) {
        m_ctx.dialogs.warn(QStringLiteral("Spuntare le correzioni da applicare."));
        return;
    }
    if (const QString problem = ArchiveGuard::writeProblem(m_ctx.session.mainDb.path()); !problem.isEmpty()) {
        m_ctx.dialogs.warn(problem);
        return;
    }
    try {
        const int changed = ArchiveCheck::apply(m_ctx.session.mainDb, chosen);
        m_applied += changed;
        m_ctx.dialogs.info(QStringLiteral("Corretti %1 indirizzi.").arg(changed));
    } catch (const std::exception& e) {
        m_ctx.dialogs.critical(QStringLiteral("Nessuna correzione applicata: l'Archivio è rimasto com'era.\n") +
                               archive::FailureText::of(e));
        return;
    }
    scan();
}

void frmVERIFICA::cmdScheda_Click() {
    const int row = GRIGLIA->currentRow();
    if (row < 0 || row >= m_suspects.size()) {
        m_ctx.dialogs.warn(QStringLiteral("Scegliere un indirizzo dell'elenco."));
        return;
    }
    if (m_openEntry && m_openEntry(m_suspects[row].nr))
        scan();
}

} // namespace velomar::addresses
