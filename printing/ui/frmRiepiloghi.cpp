#include "printing/ui/frmRiepiloghi.h"

#include "archive/FailureText.h"
#include "archive/Session.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "common/ImageList.h"
#include "printing/PrintFailure.h"
#include "printing/Printer.h"
#include "printing/PrinterError.h"
#include "printing/PrinterSelection.h"
#include "printing/SummaryPrinter.h"
#include "printing/ui/PreviewWindow.h"
#include "common/AppContext.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace velomar::printing::ui {

namespace {
constexpr double kTwipsPerPixel = 15.0; // at 96 dpi
}

frmRiepiloghi::frmRiepiloghi(common::AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(context) {
    setObjectName(QStringLiteral("frmRiepiloghi"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Riepilogo Indirizzi per ") + m_ctx.state.summaryTitle);
    setWindowIcon(common::ImageList::icon(QLatin1Char('k') + m_ctx.state.summaryField));
    move(int(200 / kTwipsPerPixel), int(810 / kTwipsPerPixel));

    gGRID = new QTableWidget(0, 2, this);
    gGRID->setObjectName(QStringLiteral("gGRID"));
    gGRID->setSelectionBehavior(QAbstractItemView::SelectRows);
    gGRID->setSelectionMode(QAbstractItemView::SingleSelection);
    gGRID->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gGRID->verticalHeader()->hide();
    gGRID->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: #C86400; color: black; }"));
    gGRID->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    gGRID->verticalHeader()->setDefaultSectionSize(gGRID->fontMetrics().height() + 6);
    // Headings whole: "Tot. Indirizzi" is wider than its column of old.
    const QFontMetrics header(gGRID->horizontalHeader()->font());
    gGRID->setColumnWidth(0, std::max(int(2600 / kTwipsPerPixel),
                                      header.horizontalAdvance(m_ctx.state.summaryTitle) + 24));
    gGRID->setColumnWidth(1, std::max(int(1100 / kTwipsPerPixel),
                                      header.horizontalAdvance(QStringLiteral("Tot. Indirizzi")) + 24));

    cmdSORT = new QPushButton(QStringLiteral("Cambia Ordinamento"), this);
    cmdSORT->setObjectName(QStringLiteral("cmdSORT"));
    cmdStampa = new QPushButton(QStringLiteral("Stampa la Lista"), this);
    cmdStampa->setObjectName(QStringLiteral("cmdStampa"));
    cmdAnteprima = new QPushButton(QStringLiteral("Anteprima"), this);
    cmdAnteprima->setObjectName(QStringLiteral("cmdAnteprima"));
    cmdChiudi = new QPushButton(QStringLiteral("Esci"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gGRID);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSORT);
    buttons->addWidget(cmdStampa);
    buttons->addWidget(cmdAnteprima);
    buttons->addWidget(cmdChiudi);
    layout->addLayout(buttons);
    // Wide enough for the grid and for the title bar to show the whole caption.
    const int gridWidth = gGRID->columnWidth(0) + gGRID->columnWidth(1) +
                          gGRID->verticalScrollBar()->sizeHint().width() + 2 * gGRID->frameWidth() + 24;
    const int titleWidth = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(windowTitle()) + 120;
    resize(std::max({int(4320 / kTwipsPerPixel), gridWidth, titleWidth}), 420);

    connect(cmdSORT, &QPushButton::clicked, this, &frmRiepiloghi::cmdSORT_Click);
    connect(cmdStampa, &QPushButton::clicked, this, &frmRiepiloghi::cmdStampa_Click);
    connect(cmdAnteprima, &QPushButton::clicked, this, &frmRiepiloghi::cmdAnteprima_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &QWidget::close);
    // The grid is for reading only.
    connect(gGRID, &QTableWidget::itemSelectionChanged, this, [this] { cmdChiudi->setFocus(); });

    fill(SummaryQuery::Order::ByValue);
    cmdSORT->setProperty("tag", QStringLiteral("1"));
}

QString frmRiepiloghi::tag() const { return cmdSORT->property("tag").toString(); }

void frmRiepiloghi::fill(SummaryQuery::Order order) {
    try {
        m_rows = SummaryQuery::run(m_ctx.session.mainDb, m_ctx.state.summaryField, order);
    } catch (const common::AppError& error) {
        m_busy = true;
        m_ctx.dialogs.critical(archive::FailureText::of(error));
        m_busy = false;
        m_rows.clear();
    }
    const QSignalBlocker block(gGRID);
    gGRID->setRowCount(int(m_rows.size()));
    gGRID->setHorizontalHeaderLabels({m_ctx.state.summaryTitle, QStringLiteral("Tot. Indirizzi")});
    for (int r = 0; r < int(m_rows.size()); ++r) {
        gGRID->setItem(r, 0, new QTableWidgetItem(m_rows[std::size_t(r)].shownValue()));
        gGRID->setItem(r, 1, new QTableWidgetItem(SummaryPrinter::countText(m_rows[std::size_t(r)].count)));
    }
    if (!m_rows.empty())
        gGRID->setCurrentCell(0, 0);
    gGRID->repaint();
}

void frmRiepiloghi::cmdSORT_Click() {
    if (tag() != QLatin1String("2")) {
        fill(SummaryQuery::Order::ByCount);
        cmdSORT->setProperty("tag", QStringLiteral("2"));
    } else {
        fill(SummaryQuery::Order::ByValue);
        cmdSORT->setProperty("tag", QStringLiteral("1"));
    }
    cmdChiudi->setFocus();
}

void frmRiepiloghi::cmdStampa_Click() {
    m_busy = true;
    const QString device = m_ctx.printers.currentName();
    if (!m_ctx.dialogs.askYesNo(QStringLiteral("Stampante: ") + device +
                                QStringLiteral("\nStampare il riepilogo ?"))) {
        m_busy = false;
        takeBackActivation();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        std::unique_ptr<Printer> printer = m_ctx.printers.createPrinter(m_ctx.dialogs);
        SummaryPrinter::print(*printer, m_ctx.state.summaryTitle, m_rows);
        printer->finishJob();
        QApplication::restoreOverrideCursor();
        m_ctx.dialogs.info(QStringLiteral("Stampa completata."));
    } catch (const std::exception& error) {
        QApplication::restoreOverrideCursor();
        m_ctx.dialogs.critical(printFailureText(error));
    }
    m_busy = false;
    takeBackActivation();
}

void frmRiepiloghi::cmdAnteprima_Click() {
    // The preview takes the activation while it is open without closing the summary.
    m_busy = true;
    try {
        auto* w = PreviewWindow::openJob(
            this, m_ctx.printers,
            [title = m_ctx.state.summaryTitle, rows = m_rows, today = QDate::currentDate()](
                Printer& printer, PrintSpan& span) { SummaryPrinter::print(printer, title, rows, today, span); },
            [this] { cmdStampa_Click(); });
        connect(w, &QDialog::finished, this, [this] {
            m_busy = false;
            takeBackActivation();
        });
    } catch (const std::exception& error) {
        m_ctx.dialogs.critical(printFailureText(error));
        m_busy = false;
        takeBackActivation();
    }
}

void frmRiepiloghi::takeBackActivation() {
    // The boxes took the activation away while we were busy; without it back, the next
    // window the user picks would not close this one.
    if (isVisible()) {
        raise();
        activateWindow();
    }
}

void frmRiepiloghi::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && !m_busy && isVisible()) {
        // Another window of the program took over: the summary is rebuilt on demand.
        QTimer::singleShot(0, this, [this] {
            if (!isActiveWindow() && !m_busy && QApplication::activeWindow() != nullptr)
                close();
        });
    }
}

} // namespace velomar::printing::ui
