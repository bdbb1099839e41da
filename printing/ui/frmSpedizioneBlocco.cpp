#include "printing/ui/frmSpedizioneBlocco.h"

#include "archive/FailureText.h"
#include "archive/Session.h"
#include "common/AppContext.h"
#include "common/AppError.h"
#include "common/DialogService.h"
#include "printing/BulkJob.h"
#include "printing/DeliveryList.h"
#include "printing/LabelJobs.h"
#include "printing/PrintFailure.h"
#include "printing/Printer.h"
#include "printing/PrinterSelection.h"
#include "printing/ReminderFile.h"
#include "printing/ui/PreviewWindow.h"
#include "settings/AppState.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>

namespace velomar::printing {

using common::MsgIcon;

namespace {

QStringList senderLines(const settings::AppState& state) {
    QStringList lines;
    for (const QString& line : state.senders.sender(state.options.envelopeSenderIndex()))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines;
}

} // namespace

frmSpedizioneBlocco::frmSpedizioneBlocco(common::AppContext& context, std::vector<qint64> selection,
                                         QWidget* parent)
    : QDialog(parent), m_ctx(context), m_selection(std::move(selection)) {
    setObjectName(QStringLiteral("frmSpedizioneBlocco"));
    setWindowTitle(QStringLiteral("Spedizione in blocco"));
    setModal(true);
    const SheetFormat sheet = LabelJobs(m_ctx.state, m_ctx.dialogs, m_ctx.printers, m_ctx.session.mainDb).sheet();

    txtGRUPPI = new QLineEdit(this);
    txtGRUPPI->setObjectName(QStringLiteral("txtGRUPPI"));
    txtGRUPPI->setPlaceholderText(QStringLiteral("AA BB ..."));
    chkSELEZIONE = new QCheckBox(
        QStringLiteral("Solo gli indirizzi &selezionati nella griglia (%1)").arg(m_selection.size()), this);
    chkSELEZIONE->setObjectName(QStringLiteral("chkSELEZIONE"));
    chkSELEZIONE->setEnabled(!m_selection.empty());
    connect(chkSELEZIONE, &QCheckBox::toggled, txtGRUPPI, &QWidget::setDisabled);
    lblFORMATO = new QLabel(sheet.name + QStringLiteral(" (") + sheet.shapeText() + QLatin1Char(')'), this);
    lblFORMATO->setObjectName(QStringLiteral("lblFORMATO"));
    lblFORMATO->setWordWrap(true);
    spnRIGA = new QSpinBox(this);
    spnRIGA->setObjectName(QStringLiteral("spnRIGA"));
    spnRIGA->setRange(1, sheet.rows);
    spnCOLONNA = new QSpinBox(this);
    spnCOLONNA->setObjectName(QStringLiteral("spnCOLONNA"));
    spnCOLONNA->setRange(1, sheet.columns);
    spnMINIMO = new QSpinBox(this);
    spnMINIMO->setObjectName(QStringLiteral("spnMINIMO"));
    spnMINIMO->setRange(1, 9999);
    spnMINIMO->setValue(BulkRules{}.minPieces);
    chkPROVINCIA = new QCheckBox(QStringLiteral("Mazzetti per pro&vincia"), this);
    chkPROVINCIA->setObjectName(QStringLiteral("chkPROVINCIA"));
    chkPROVINCIA->setChecked(true);
    chkREGIONE = new QCheckBox(QStringLiteral("Mazzetti per regio&ne"), this);
    chkREGIONE->setObjectName(QStringLiteral("chkREGIONE"));
    chkREGIONE->setChecked(true);
    chkTESTATE = new QCheckBox(QStringLiteral("Etichetta di &testata per ogni mazzetto"), this);
    chkTESTATE->setObjectName(QStringLiteral("chkTESTATE"));
    chkTESTATE->setChecked(true);
    chkPOSTALE = new QCheckBox(QStringLiteral("Indirizzi in stile &postale"), this);
    chkPOSTALE->setObjectName(QStringLiteral("chkPOSTALE"));
    chkPOSTALE->setChecked(true);
    txtPRODOTTO = new QLineEdit(this);
    txtPRODOTTO->setObjectName(QStringLiteral("txtPRODOTTO"));
    cmdStampa = new QPushButton(QStringLiteral("Stampa &Etichette e Distinta"), this);
    cmdStampa->setObjectName(QStringLiteral("cmdStampa"));
    cmdAnteprimaEtichette = new QPushButton(QStringLiteral("&Anteprima Etichette"), this);
    cmdAnteprimaEtichette->setObjectName(QStringLiteral("cmdAnteprimaEtichette"));
    cmdAnteprimaDistinta = new QPushButton(QStringLiteral("Anteprima D&istinta"), this);
    cmdAnteprimaDistinta->setObjectName(QStringLiteral("cmdAnteprimaDistinta"));
    cmdChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));

    const auto buddy = [this](const QString& text, QWidget* w) {
        auto* label = new QLabel(text, this);
        label->setBuddy(w);
        return label;
    };
    auto* what = new QGroupBox(QStringLiteral("Indirizzi ed etichette"), this);
    auto* whatForm = new QFormLayout(what);
    whatForm->addRow(buddy(QStringLiteral("&Gruppi (codici separati da spazi):"), txtGRUPPI), txtGRUPPI);
    whatForm->addRow(chkSELEZIONE);
    whatForm->addRow(QStringLiteral("Foglio di etichette:"), lblFORMATO);
    auto* start = new QHBoxLayout;
    start->addWidget(buddy(QStringLiteral("&riga"), spnRIGA));
    start->addWidget(spnRIGA);
    start->addWidget(buddy(QStringLiteral("co&lonna"), spnCOLONNA));
    start->addWidget(spnCOLONNA);
    start->addStretch();
    whatForm->addRow(QStringLiteral("Prima etichetta:"), start);
    whatForm->addRow(chkPOSTALE);

    auto* rule = new QGroupBox(QStringLiteral("Regola dei mazzetti"), this);
    auto* ruleForm = new QFormLayout(rule);
    ruleForm->addRow(buddy(QStringLiteral("Pezzi &minimi per mazzetto:"), spnMINIMO), spnMINIMO);
    auto* note = new QLabel(QStringLiteral("Indirizzi in ordine di CAP, località e via: un mazzetto per ogni CAP "
                                           "con almeno questi pezzi, gli altri per provincia, per regione, poi "
                                           "il resto d'Italia; l'estero per ultimo, per nazione. Le regole "
                                           "vanno verificate con l'ufficio postale."),
                            rule);
    note->setWordWrap(true);
    ruleForm->addRow(chkPROVINCIA);
    ruleForm->addRow(chkREGIONE);
    ruleForm->addRow(chkTESTATE);
    ruleForm->addRow(note);

    auto* list = new QGroupBox(QStringLiteral("Distinta"), this);
    auto* listForm = new QFormLayout(list);
    listForm->addRow(buddy(QStringLiteral("Pr&odotto postale:"), txtPRODOTTO), txtPRODOTTO);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdStampa);
    buttons->addWidget(cmdAnteprimaEtichette);
    buttons->addWidget(cmdAnteprimaDistinta);
    buttons->addStretch();
    buttons->addWidget(cmdChiudi);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(what);
    outer->addWidget(rule);
    outer->addWidget(list);
    outer->addLayout(buttons);

    connect(cmdStampa, &QPushButton::clicked, this, &frmSpedizioneBlocco::cmdStampa_Click);
    connect(cmdAnteprimaEtichette, &QPushButton::clicked, this, &frmSpedizioneBlocco::cmdAnteprimaEtichette_Click);
    connect(cmdAnteprimaDistinta, &QPushButton::clicked, this, &frmSpedizioneBlocco::cmdAnteprimaDistinta_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::close);
}

std::optional<BulkJob> frmSpedizioneBlocco::readJob() {
    BulkRules rules;
    rules.minPieces = spnMINIMO->value();
    rules.byProvince = chkPROVINCIA->isChecked();
    rules.byRegion = chkREGIONE->isChecked();
    rules.headers = chkTESTATE->isChecked();
    const QStringList groups =
        txtGRUPPI->text().toUpper().split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts);
    const bool selected = chkSELEZIONE->isChecked();
    if (!selected && groups.isEmpty()) {
        m_ctx.dialogs.message(QStringLiteral("Selezionare un Gruppo !"), MsgIcon::Information);
        txtGRUPPI->setFocus();
        return std::nullopt;
    }
    try {
        BulkJob job = selected ? BulkJob::ofNumbers(m_ctx.session.mainDb, m_selection, rules)
                               : BulkJob::ofGroups(m_ctx.session.mainDb, groups, rules);
        if (job.pieces() == 0) {
            m_ctx.dialogs.message(selected ? QStringLiteral("Nessuna etichetta da stampare !")
                                           : QStringLiteral("Nessun indirizzo con Gruppo '%1' !")
                                                 .arg(groups.join(QLatin1Char(' '))),
                                  MsgIcon::Information);
            return std::nullopt;
        }
        return job;
    } catch (const std::exception& e) {
        m_ctx.dialogs.message(archive::FailureText::of(e), MsgIcon::Critical);
        return std::nullopt;
    }
}

void frmSpedizioneBlocco::cmdStampa_Click() {
    auto job = readJob();
    if (!job)
        return;
    LabelJobs labelJobs(m_ctx.state, m_ctx.dialogs, m_ctx.printers, m_ctx.session.mainDb);
    const SheetFormat sheet = labelJobs.sheet();
    const LabelPosition start{spnRIGA->value(), spnCOLONNA->value()};
    const qint64 headers = job->rules().headers ? qint64(job->bundles().size()) : 0;
    const QString confirm =
        QStringLiteral("Stampante: %1\r\nIndirizzi: %2 in %3 mazzetti\r\nEtichette di testata: %4\r\n"
                       "Fogli %5 occorrenti: %6\r\n"
                       "Premere 'OK' per avviare la stampa o 'Annulla' per rinunciare.")
            .arg(m_ctx.printers.currentName())
            .arg(job->pieces())
            .arg(job->bundles().size())
            .arg(headers)
            .arg(SheetFormat::paperName(sheet.paper))
            .arg(job->sheetsFor(sheet, start));
    if (m_ctx.dialogs.message(confirm, MsgIcon::Question, common::MsgButtons::OkCancel) != common::MsgResult::Ok)
        return;
    const auto path = ReminderFile::askPath(m_ctx.dialogs, m_ctx.state.stampeTipDir, ReminderFile::shopTitle());
    if (!path)
        return;
    const DeliveryList list({senderLines(m_ctx.state), QDate::currentDate(), txtPRODOTTO->text().trimmed()},
                            job->bundles(), job->addresses());
    try {
        ReminderFile::write(*path, job->reminder(QDate::currentDate(), QStringLiteral("Spedizione in blocco")));
        QString csv = *path;
        csv.chop(4);
        ReminderFile::write(csv + QStringLiteral("_distinta.csv"), list.csv());
    } catch (const common::AppError& e) {
        m_ctx.dialogs.message(e.description(), MsgIcon::Critical);
        return;
    }
    LabelOptions options = LabelOptions::from(m_ctx.state.options);
    options.postalStyle = chkPOSTALE->isChecked();
    BulkJob::Printed printed;
    try {
        auto printer = m_ctx.printers.createPrinter(m_ctx.dialogs);
        printed = job->printLabels(*printer, options, sheet, start);
        printer->finishJob();
        auto listPrinter = m_ctx.printers.createPrinter(m_ctx.dialogs);
        list.print(*listPrinter);
        listPrinter->finishJob();
    } catch (const std::exception& e) {
        m_ctx.dialogs.message(printFailureText(e), MsgIcon::Critical);
        return;
    }
    QString done = QStringLiteral("Stampa terminata.\r\nMazzetti: %1, pezzi: %2.")
                       .arg(job->bundles().size())
                       .arg(list.pieces());
    if (!printed.cutLabels.isEmpty())
        done += QStringLiteral("\r\n") + StampaEtichette::cutLabelsNote(printed.cutLabels);
    m_ctx.dialogs.message(done, printed.cutLabels.isEmpty() ? MsgIcon::Information : MsgIcon::Exclamation);
}

void frmSpedizioneBlocco::cmdAnteprimaEtichette_Click() {
    auto job = readJob();
    if (!job)
        return;
    LabelOptions options = LabelOptions::from(m_ctx.state.options);
    options.postalStyle = chkPOSTALE->isChecked();
    const SheetFormat sheet = LabelJobs(m_ctx.state, m_ctx.dialogs, m_ctx.printers, m_ctx.session.mainDb).sheet();
    const LabelPosition start{spnRIGA->value(), spnCOLONNA->value()};
    auto shared = std::make_shared<BulkJob>(std::move(*job));
    try {
        auto* preview = PreviewWindow::openJob(
            this, m_ctx.printers,
            [shared, options, sheet, start](Printer& printer, PrintSpan&) {
                shared->printLabels(printer, options, sheet, start);
            },
            [this] { cmdStampa_Click(); });
        preview->setLabelLayout(sheet);
    } catch (const std::exception& e) {
        m_ctx.dialogs.message(printFailureText(e), MsgIcon::Critical);
    }
}

void frmSpedizioneBlocco::cmdAnteprimaDistinta_Click() {
    auto job = readJob();
    if (!job)
        return;
    auto shared = std::make_shared<BulkJob>(std::move(*job));
    const DeliveryList::Heading heading{senderLines(m_ctx.state), QDate::currentDate(), txtPRODOTTO->text().trimmed()};
    try {
        PreviewWindow::openJob(
            this, m_ctx.printers,
            [shared, heading](Printer& printer, PrintSpan&) {
                DeliveryList(heading, shared->bundles(), shared->addresses()).print(printer);
            },
            [this] { cmdStampa_Click(); });
    } catch (const std::exception& e) {
        m_ctx.dialogs.message(printFailureText(e), MsgIcon::Critical);
    }
}

} // namespace velomar::printing
