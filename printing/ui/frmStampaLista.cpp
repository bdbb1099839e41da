#include "printing/ui/frmStampaLista.h"

#include "printing/ListPrinterLayout.h"
#include "printing/ListPrinterRange.h"

#include "archive/Session.h"
#include "common/AppError.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "common/ImageList.h"
#include "printing/ListPrinter.h"
#include "printing/PrintFailure.h"
#include "printing/Printer.h"
#include "printing/PrinterError.h"
#include "printing/PrinterSelection.h"
#include "printing/ui/PreviewWindow.h"
#include "common/AppContext.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>

namespace velomar::printing::ui {

frmStampaLista::frmStampaLista(common::AppContext& context, archive::ui::ListPrinterGrid grid, QWidget* parent)
    : QDialog(parent), m_ctx(context), m_grid(std::move(grid)),
      m_formatted(context.state.options.formattedList()),
      m_section(m_formatted ? settings::Settings::FieldSection::StampaF
                            : settings::Settings::FieldSection::StampaNF) {
    setObjectName(QStringLiteral("frmStampaLista"));
    setWindowTitle(m_formatted ? QStringLiteral("Stampa Lista Formattata")
                               : QStringLiteral("Stampa Lista non Formattata"));
    choices = new archive::ui::ListPrinterChoices(this, ListPrinterLayout::headings(), QStringLiteral("Campi da Stampare"),
                                     QStringLiteral("Intestazione Foglio (facoltativa):"),
                                     QStringLiteral("Da Stampare"));
    // NOTE and APPUNTI are never printed: loaded, saved and counted, but not shown.
    choices->ckCampo[15]->hide();
    choices->ckCampo[16]->hide();

    imgFOGLIO = new QLabel(choices->fraRESULT);
    imgFOGLIO->setObjectName(QStringLiteral("imgFOGLIO"));
    imgFOGLIO->setPixmap(common::ImageList::pixmap(m_formatted ? QStringLiteral("kOR")
                                                               : QStringLiteral("kVERT"), 32));
    static_cast<QGridLayout*>(choices->fraRESULT->layout())->addWidget(imgFOGLIO, 0, 1, 2, 1);
    lblCar = new QLabel(QStringLiteral("Totale Caratteri"), this);
    lblCar->setObjectName(QStringLiteral("lblCar"));
    lblCar->setVisible(m_formatted);

    cmdStampa = new QPushButton(QStringLiteral("Stampa Lista"), this);
    cmdStampa->setObjectName(QStringLiteral("cmdStampa"));
    cmdAnteprima = new QPushButton(QStringLiteral("Anteprima"), this);
    cmdAnteprima->setObjectName(QStringLiteral("cmdAnteprima"));
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(choices->fraEsporta, 0, 0, 1, 3);
    layout->addWidget(choices->fraINTERVALLO, 1, 0);
    layout->addWidget(choices->fraRESULT, 1, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdStampa);
    buttons->addWidget(cmdAnteprima);
    buttons->addWidget(cmdChiudi);
    buttons->addStretch();
    layout->addLayout(buttons, 1, 2);
    layout->addWidget(choices->lblDESC_, 2, 0);
    layout->addWidget(choices->txtDESC, 2, 1, 1, 2);
    layout->addWidget(lblCar, 3, 0, 1, 3);
    layout->addWidget(choices->BARRA, 4, 0, 1, 3);

    // The limit is what the chosen printer's landscape page holds in the list font.
    if (m_formatted)
        m_maxLine = ListPrinter::formattedLimit(
            m_ctx.printers.printableSize(Orientation::Landscape).width(),
            m_ctx.state.options.listLucidaFont());

    choices->setSortText(m_grid.sortText ? m_grid.sortText() : QString());
    choices->load(m_ctx.settings, m_section);
    choices->setRangeCounts(m_ctx.state.archiveCount, m_ctx.state.displayedCount,
                            m_grid.selectionCount ? m_grid.selectionCount() : 0);
    refreshTotal();

    connect(choices, &archive::ui::ListPrinterChoices::fieldsChanged, this, &frmStampaLista::refreshTotal);
    connect(cmdStampa, &QPushButton::clicked, this, &frmStampaLista::cmdStampa_Click);
    connect(cmdAnteprima, &QPushButton::clicked, this, &frmStampaLista::cmdAnteprima_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

int frmStampaLista::characterTotal() const {
    return ListPrinterLayout::characterTotal(choices->fields());
}

void frmStampaLista::refreshTotal() {
    const int total = characterTotal();
    if (m_formatted) {
        cmdStampa->setEnabled(total <= m_maxLine);
        lblCar->setText(QStringLiteral("%1 su %2").arg(total).arg(m_maxLine));
    } else {
        cmdStampa->setEnabled(true);
    }
    cmdAnteprima->setEnabled(cmdStampa->isEnabled());
}

void frmStampaLista::cmdStampa_Click() {
    if (ListPrinterLayout::checkedCount(choices->fields()) == 0) {
        m_ctx.dialogs.warn(QStringLiteral("Selezionare almeno un Campo !"));
        return;
    }
    choices->save(m_ctx.settings, m_section);
    printJob();
    cmdChiudi->setFocus();
}

ListPrintRequest frmStampaLista::request() const {
    ListPrintRequest request;
    request.formatted = m_formatted;
    request.lucidaFont = m_ctx.state.options.listLucidaFont();
    request.fields = choices->fields();
    request.heading = choices->txtDESC->text();
    return request;
}

std::unique_ptr<archive::AddressSource> frmStampaLista::source() const {
    switch (choices->range()) {
    case ListRange::WholeArchive:
        return ListPrinterRange::wholeArchive(m_ctx.session.mainDb, ListPrinterRange::Values::Printable);
    case ListRange::Displayed:
        return ListPrinterRange::gridRows(m_ctx.session.mainRs, 1, m_ctx.state.displayedCount);
    case ListRange::Selection:
        break;
    }
    const qint64 first = m_grid.selectionTop ? m_grid.selectionTop() : 1;
    const qint64 count = m_grid.selectionCount ? m_grid.selectionCount() : 0;
    return ListPrinterRange::gridRows(m_ctx.session.mainRs, first, first + count - 1);
}

// The list as the job would print it, drawn page by page; the fields are saved only
// when it is printed.
void frmStampaLista::cmdAnteprima_Click() {
    if (ListPrinterLayout::checkedCount(choices->fields()) == 0) {
        m_ctx.dialogs.warn(QStringLiteral("Selezionare almeno un Campo !"));
        return;
    }
    const ListPrintRequest req = request();
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // One source for the window's life: the whole archive is read and sorted once.
        std::shared_ptr<archive::AddressSource> src = source();
        PreviewWindow::openJob(
            this, m_ctx.printers,
            [src, req](Printer& printer, PrintSpan& span) {
                if (!src->restart())
                    throw common::AppError(9, QStringLiteral("Impossibile rileggere gli indirizzi."));
                ListPrinter::print(printer, *src, req, span);
            },
            [this] { cmdStampa_Click(); });
        QApplication::restoreOverrideCursor();
    } catch (const std::exception& error) {
        QApplication::restoreOverrideCursor();
        m_ctx.dialogs.critical(printFailureText(error));
    }
}

void frmStampaLista::printJob() {
    const ListPrintRequest request = this->request();

    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool printed = false;
    try {
        std::unique_ptr<Printer> printer = m_ctx.printers.createPrinter(m_ctx.dialogs);
        std::unique_ptr<archive::AddressSource> source = this->source();
        choices->progress(0, source->count());
        ListPrinter::print(*printer, *source, request,
                           [this](qint64 done, qint64 total) { choices->progress(done, total); });
        printer->finishJob();
        printed = true;
    } catch (const std::exception& error) {
        QApplication::restoreOverrideCursor();
        choices->hideProgress();
        m_ctx.dialogs.critical(printFailureText(error));
        return;
    }
    QApplication::restoreOverrideCursor();
    if (printed)
        m_ctx.dialogs.info(QStringLiteral("Stampa terminata."));
    choices->hideProgress();
    QThread::msleep(200);
}

} // namespace velomar::printing::ui
