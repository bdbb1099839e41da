#include "exchange/ui/frmESPORTA.h"

#include "addresses/HouseholdSource.h"
#include "archive/FailureText.h"
#include "archive/Session.h"
#include "common/AppError.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "common/OutputGuard.h"
#include "exchange/ExportJob.h"
#include "exchange/ExportWriter.h"
#include "printing/ListPrinterLayout.h"
#include "printing/ListPrinterRange.h"
#include "common/AppContext.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>

namespace velomar::exchange::ui {

using printing::ListPrinterRange;
using printing::ListRange;
using Section = settings::Settings::FieldSection;

const QString frmESPORTA::CancelledMarker = QStringLiteral("_OperazioneAnnullata_");

frmESPORTA::frmESPORTA(common::AppContext& context, archive::ui::ListPrinterGrid grid,
                       QWidget* parent)
    : QDialog(parent), m_ctx(context), m_grid(std::move(grid)) {
    setObjectName(QStringLiteral("frmESPORTA"));
    setWindowTitle(QStringLiteral("Esporta Lista"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    choices = new archive::ui::ListPrinterChoices(this, printing::ListPrinterLayout::headings(), QStringLiteral("Campi da Esportare"),
                                                   QStringLiteral("Descrizione del File (facoltativa):"),
                                                   QStringLiteral("Da Esportare"));
    fraFormato = new QGroupBox(QStringLiteral("Formato"), this);
    fraFormato->setObjectName(QStringLiteral("fraFormato"));
    auto* formats = new QHBoxLayout(fraFormato);
    const char* const formatNames[] = {"Testo", "CSV", "vCard"};
    for (std::size_t i = 0; i < optFormato.size(); ++i) {
        optFormato[i] = new QRadioButton(QString::fromLatin1(formatNames[i]), fraFormato);
        optFormato[i]->setObjectName(QStringLiteral("optFormato%1").arg(i));
        formats->addWidget(optFormato[i]);
        // The description is a line of the text file only.
        connect(optFormato[i], &QRadioButton::toggled, this, [this] {
            choices->txtDESC->setEnabled(format() == ExportFileFormat::Text);
        });
    }
    optFormato[0]->setChecked(true);
    chkFamiglie = new QCheckBox(QStringLiteral("Una sola etichetta per indirizzo"), this);
    chkFamiglie->setObjectName(QStringLiteral("chkFamiglie"));
    chkFamiglie->setToolTip(QStringLiteral("Di chi abita allo stesso indirizzo resta il primo nell'ordine, o "
                                           "FAMIGLIA ROSSI se i cognomi sono uguali"));
    cmdEsporta = new QPushButton(QStringLiteral("Esporta"), this);
    cmdEsporta->setObjectName(QStringLiteral("cmdEsporta"));
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(choices->fraEsporta, 0, 0, 1, 3);
    layout->addWidget(choices->fraINTERVALLO, 1, 0);
    auto* middle = new QVBoxLayout;
    middle->addWidget(choices->fraRESULT);
    middle->addWidget(fraFormato);
    middle->addWidget(chkFamiglie);
    layout->addLayout(middle, 1, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdEsporta);
    buttons->addWidget(cmdChiudi);
    buttons->addStretch();
    layout->addLayout(buttons, 1, 2);
    layout->addWidget(choices->lblDESC_, 2, 0);
    layout->addWidget(choices->txtDESC, 2, 1, 1, 2);
    layout->addWidget(choices->BARRA, 3, 0, 1, 3);

    choices->setSortText(m_grid.sortText ? m_grid.sortText() : QString());
    choices->load(m_ctx.settings, Section::Esporta);
    choices->setRangeCounts(m_ctx.state.archiveCount, m_ctx.state.displayedCount,
                            m_grid.selectionCount ? m_grid.selectionCount() : 0);
    // The grid's rows change while this window is open: count the range when chosen.
    for (int i = 2; i <= 3; ++i)
        connect(choices->OptInt[std::size_t(i)], &QRadioButton::clicked, this, [this] {
            choices->setRangeCounts(m_ctx.state.archiveCount, m_ctx.state.displayedCount,
                                    m_grid.selectionCount ? m_grid.selectionCount() : 0);
        });

    connect(cmdEsporta, &QPushButton::clicked, this, &frmESPORTA::cmdEsporta_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::close);
}

void frmESPORTA::gridUnloaded() {
    m_gridGone = true;
    setEnabled(false);
    close();
}

ExportFileFormat frmESPORTA::format() const {
    if (optFormato[1]->isChecked())
        return ExportFileFormat::Csv;
    if (optFormato[2]->isChecked())
        return ExportFileFormat::VCard;
    return ExportFileFormat::Text;
}

QString frmESPORTA::askFileName() {
    common::FileDialogOptions options;
    options.title = QStringLiteral("Esporta Lista");
    options.folder = m_ctx.state.exportDir;
    options.filterIndex = 2;
    switch (format()) {
    case ExportFileFormat::Text:
        options.filter = QStringLiteral("Tutti i file (*.*)|*.*|File di Testo (*.txt)|*.txt|");
        options.defaultSuffix = QStringLiteral(".txt");
        break;
    case ExportFileFormat::Csv:
        options.filter = QStringLiteral("Tutti i file (*.*)|*.*|File CSV (*.csv)|*.csv|");
        options.defaultSuffix = QStringLiteral(".csv");
        break;
    case ExportFileFormat::VCard:
        options.filter = QStringLiteral("Tutti i file (*.*)|*.*|Contatti vCard (*.vcf)|*.vcf|");
        options.defaultSuffix = QStringLiteral(".vcf");
        break;
    }
    const auto chosen = m_ctx.dialogs.saveFile(options);
    if (!chosen)
        return CancelledMarker;
    return chosen->trimmed();
}

void frmESPORTA::cmdEsporta_Click() {
    if (m_gridGone)
        return;
    if (printing::ListPrinterLayout::checkedCount(choices->fields()) == 0) {
        m_ctx.dialogs.warn(QStringLiteral("Selezionare almeno un Campo !"));
        return;
    }
    choices->save(m_ctx.settings, Section::Esporta);
    for (;;) {
        const QString name = askFileName();
        if (name == CancelledMarker)
            break;
        if (name.isEmpty())
            continue;
        exportJob(name);
        break;
    }
    if (!m_gridGone)
        cmdChiudi->setFocus();
}

bool frmESPORTA::exportJob(const QString& fileName) {
    // Refused before the overwrite question, which would otherwise offer to replace it.
    {
        const auto inUse = common::OutputGuard::hold(m_ctx.state.currentArchivePath);
        if (const auto refused = common::OutputGuard::problem(fileName)) {
            m_ctx.dialogs.critical(*refused + QStringLiteral("\nNessun file è stato modificato."));
            return false;
        }
    }
    const QFileInfo info(fileName);
    if (info.exists() && !info.isDir() &&
        m_ctx.dialogs.message(QStringLiteral("Il file ") + info.fileName() +
                                  QStringLiteral(" esiste già.\nLo si vuole sovrascrivere ?"),
                              common::MsgIcon::Question, common::MsgButtons::YesNo, {},
                              common::MsgResult::No) != common::MsgResult::Yes)
        return false;

    ExportRequest request;
    request.format = format();
    request.fields = choices->fields();
    request.description = choices->txtDESC->text();

    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false); // nothing of this window runs again until the file is done
    ExportResult result;
    try {
        std::unique_ptr<archive::AddressSource> source;
        switch (choices->range()) {
        case ListRange::WholeArchive:
            source = ListPrinterRange::wholeArchive(m_ctx.session.mainDb, ListPrinterRange::Values::AsStored);
            break;
        case ListRange::Displayed:
            source = ListPrinterRange::gridRows(m_ctx.session.mainRs, 1, m_ctx.state.displayedCount);
            break;
        case ListRange::Selection: {
            const qint64 first = m_grid.selectionTop ? m_grid.selectionTop() : 1;
            const qint64 count = m_grid.selectionCount ? m_grid.selectionCount() : 0;
            source = ListPrinterRange::gridRows(m_ctx.session.mainRs, first, first + count - 1);
            break;
        }
        }
        std::optional<addresses::HouseholdSource> doors;
        if (chkFamiglie->isChecked())
            doors.emplace(*source);
        archive::AddressSource& walk = doors ? static_cast<archive::AddressSource&>(*doors) : *source;
        result = ExportJob::toFile(walk, request, fileName, [this](qint64 done, qint64 total) {
            choices->progress(done, total);
        });
    } catch (const common::AppError& error) {
        setEnabled(true);
        QApplication::restoreOverrideCursor();
        choices->hideProgress();
        m_ctx.dialogs.critical(archive::FailureText::cause(error) +
                               QStringLiteral("\nIl file precedente, se c'era, non è stato toccato."));
        return false;
    }
    setEnabled(true);
    QApplication::restoreOverrideCursor();
    QString text = QStringLiteral("Esportazione terminata.");
    if (result.replaced > 0)
        text += QStringLiteral("\n%1 caratteri non rappresentabili nel file sono stati sostituiti "
                               "con \"?\".")
                    .arg(QLocale(QLocale::Italian, QLocale::Italy).toString(qint64(result.replaced)));
    m_ctx.dialogs.info(text);
    choices->hideProgress();
    QThread::msleep(200);
    return true;
}

} // namespace velomar::exchange::ui
