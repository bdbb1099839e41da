#include "printing/ui/PreviewWindow.h"

#include "archive/Recordset.h"
#include "printing/LabelPreview.h"
#include "printing/PrintFailure.h"
#include "printing/PrinterSelection.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>

namespace velomar::printing {

namespace {

constexpr double kMmPerInch = 25.4;
// Beyond 300 dpi a page costs much and shows nothing more; below 20 it is unreadable.
constexpr double kMinDpi = 20;
constexpr double kMaxDpi = 300;
constexpr double kZoomStep = 1.25;

QToolButton* makeTool(QWidget* parent, const char* name, const QString& text, const QString& tip) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    b->setToolTip(tip);
    return b;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

PreviewWindow::PreviewWindow(qint64 pageCount, PageProvider provider, QWidget* parent)
    : QDialog(parent), m_pages(std::max<qint64>(pageCount, 0)), m_provider(std::move(provider)) {
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(QStringLiteral("Anteprima di stampa"));

    cmdPrima = makeTool(this, "cmdPrima", QStringLiteral("|<"), QStringLiteral("Prima pagina (Home)"));
    cmdPrecedente = makeTool(this, "cmdPrecedente", QStringLiteral("<"), QStringLiteral("Pagina precedente (PgSu)"));
    txtPagina = new QSpinBox(this);
    txtPagina->setObjectName(QStringLiteral("txtPagina"));
    txtPagina->setRange(m_pages > 0 ? 1 : 0, int(std::min<qint64>(m_pages, INT_MAX)));
    txtPagina->setKeyboardTracking(false);
    txtPagina->setButtonSymbols(QAbstractSpinBox::NoButtons);
    lblPagina = new QLabel(this);
    lblPagina->setObjectName(QStringLiteral("lblPagina"));
    cmdSuccessiva = makeTool(this, "cmdSuccessiva", QStringLiteral(">"), QStringLiteral("Pagina successiva (PgGiù)"));
    cmdUltima = makeTool(this, "cmdUltima", QStringLiteral(">|"), QStringLiteral("Ultima pagina (Fine)"));
    cmdPaginaIntera = makeButton(this, "cmdPaginaIntera", QStringLiteral("Pagina intera"));
    cmdLarghezza = makeButton(this, "cmdLarghezza", QStringLiteral("Larghezza pagina"));
    cmdZoomMeno = makeTool(this, "cmdZoomMeno", QStringLiteral("−"), QStringLiteral("Riduci (Ctrl+−)"));
    cmdZoomPiu = makeTool(this, "cmdZoomPiu", QStringLiteral("+"), QStringLiteral("Ingrandisci (Ctrl++)"));
    chkContorni = new QCheckBox(QStringLiteral("Mostra contorni etichette"), this);
    chkContorni->setObjectName(QStringLiteral("chkContorni"));
    chkContorni->setVisible(false);
    cmdStampa = makeButton(this, "cmdStampa", QStringLiteral("Stampa"));
    cmdChiudi = makeButton(this, "cmdChiudi", QStringLiteral("Chiudi"));

    m_view = new QLabel;
    m_view->setObjectName(QStringLiteral("lblVista"));
    m_view->setAlignment(Qt::AlignCenter);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrPagina"));
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setWidget(m_view);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFocusPolicy(Qt::StrongFocus);

    auto* bar = new QHBoxLayout;
    bar->addWidget(cmdPrima);
    bar->addWidget(cmdPrecedente);
    bar->addWidget(new QLabel(QStringLiteral("Pagina"), this));
    bar->addWidget(txtPagina);
    bar->addWidget(lblPagina);
    bar->addWidget(cmdSuccessiva);
    bar->addWidget(cmdUltima);
    bar->addSpacing(16);
    bar->addWidget(cmdPaginaIntera);
    bar->addWidget(cmdLarghezza);
    bar->addWidget(cmdZoomMeno);
    bar->addWidget(cmdZoomPiu);
    bar->addSpacing(16);
    bar->addWidget(chkContorni);
    bar->addStretch();
    bar->addWidget(cmdStampa);
    bar->addWidget(cmdChiudi);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);

    connect(cmdPrima, &QToolButton::clicked, this, [this] { showPage(1); });
    connect(cmdPrecedente, &QToolButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(cmdSuccessiva, &QToolButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(cmdUltima, &QToolButton::clicked, this, [this] { showPage(m_pages); });
    connect(txtPagina, &QSpinBox::valueChanged, this, [this](int page) { showPage(page); });
    connect(cmdPaginaIntera, &QPushButton::clicked, this, &PreviewWindow::fitWholePage);
    connect(cmdLarghezza, &QPushButton::clicked, this, &PreviewWindow::fitPageWidth);
    connect(cmdZoomPiu, &QToolButton::clicked, this, [this] { zoomBy(kZoomStep); });
    connect(cmdZoomMeno, &QToolButton::clicked, this, [this] { zoomBy(1 / kZoomStep); });
    connect(chkContorni, &QCheckBox::toggled, this, &PreviewWindow::redraw);
    connect(cmdStampa, &QPushButton::clicked, this, &PreviewWindow::cmdStampa_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::reject);

    const auto shortcut = [this](const QKeySequence& keys, auto slot) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::Key_PageUp), [this] { showPage(m_page - 1); });
    shortcut(QKeySequence(Qt::Key_PageDown), [this] { showPage(m_page + 1); });
    shortcut(QKeySequence(Qt::Key_Home), [this] { showPage(1); });
    shortcut(QKeySequence(Qt::Key_End), [this] { showPage(m_pages); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { zoomBy(kZoomStep); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { zoomBy(kZoomStep); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus), [this] { zoomBy(1 / kZoomStep); });

    resize(900, 1000);
    // Never taller or wider than the screen: the buttons and the page's foot stay in view.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        resize(size().boundedTo(screen->availableGeometry().size() * 0.92));
    m_scroll->setFocus();
    // The first page is drawn when the window shows, at the size it then has.
    m_page = m_pages > 0 ? 1 : 0;
    if (m_pages == 0)
        m_view->setText(QStringLiteral("Nessuna pagina da stampare."));
    updateControls();
}

PreviewWindow* PreviewWindow::openLabels(QWidget* parent, const PrinterSelection& printers,
                                         archive::Recordset rs, LabelOptions options, LabelPosition start,
                                         const SheetFormat& format, std::function<void()> print,
                                         bool oneLabelPerDoor) {
    // The preview reads the record set it was given for as long as the window lives.
    struct Job {
        archive::Recordset rs;
        LabelPreview preview;
        Job(archive::Recordset r, LabelOptions o, LabelPosition s, const SheetFormat& f)
            : rs(std::move(r)), preview(rs, o, s, f) {}
    };
    auto job = std::make_shared<Job>(std::move(rs), options, start, format);
    job->preview.setPrintableMargins(printers.printableMargins(Orientation::Portrait));
    job->preview.setOneLabelPerDoor(oneLabelPerDoor);
    auto* w = new PreviewWindow(job->preview.pageCount(),
                                [job](qint64 page, double dpi) { return job->preview.render(page, dpi); },
                                parent);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setLabelLayout(format);
    w->setPrintAction(std::move(print));
    w->open();
    return w;
}

PreviewWindow* PreviewWindow::openJob(QWidget* parent, const PrinterSelection& printers, JobPreview::Job job,
                                      std::function<void()> print) {
    auto preview = std::make_shared<JobPreview>(std::move(job), printers.printableMargins(Orientation::Portrait),
                                                printers.printableMargins(Orientation::Landscape));
    auto* w = new PreviewWindow(preview->pageCount(),
                                [preview](qint64 page, double dpi) { return preview->render(page, dpi); }, parent);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setPrintAction(std::move(print));
    w->open();
    return w;
}

void PreviewWindow::setLabelLayout(const LabelLayout& layout) {
    m_layout = layout;
    chkContorni->setVisible(true);
    redraw();
}

void PreviewWindow::showPage(qint64 page) {
    if (m_pages == 0) {
        m_page = 0;
        m_view->setText(QStringLiteral("Nessuna pagina da stampare."));
        updateControls();
        return;
    }
    page = std::clamp<qint64>(page, 1, m_pages);
    if (page == m_page)
        return;
    m_page = page;
    updateControls();
    render();
}

void PreviewWindow::fitWholePage() { setDpi(0, Fit::WholePage); }
void PreviewWindow::fitPageWidth() { setDpi(0, Fit::PageWidth); }
void PreviewWindow::zoomBy(double factor) { setDpi(m_dpi * factor, Fit::Free); }

void PreviewWindow::setDpi(double dpi, Fit fit) {
    m_fit = fit;
    if (fit == Fit::Free)
        m_dpi = std::clamp(dpi, kMinDpi, kMaxDpi);
    else
        refit();
    render();
}

// The resolution at which the page fills the visible area the chosen way.
void PreviewWindow::refit() {
    if (m_fit == Fit::Free)
        return;
    const QSize area = m_scroll->viewport()->size() - QSize(8, 8);
    const double scrollBar = m_scroll->verticalScrollBar()->sizeHint().width();
    const double byWidth = (area.width() - (m_fit == Fit::PageWidth ? scrollBar : 0)) * kMmPerInch / m_paperMm.width();
    const double byHeight = area.height() * kMmPerInch / m_paperMm.height();
    const double dpi = m_fit == Fit::WholePage ? std::min(byWidth, byHeight) : byWidth;
    m_dpi = std::clamp(dpi, kMinDpi, kMaxDpi);
}

void PreviewWindow::render() {
    if (m_page < 1)
        return;
    if (m_page == m_imagePage && std::abs(m_dpi - m_imageDpi) < 0.01 && !m_image.isNull()) {
        redraw();
        return;
    }
    try {
        m_image = m_provider(m_page, m_dpi);
        m_imagePage = m_page;
        m_imageDpi = m_dpi;
        if (!m_image.isNull())
            m_paperMm = QSizeF(m_image.width() * kMmPerInch / m_dpi, m_image.height() * kMmPerInch / m_dpi);
    } catch (const std::exception& e) {
        m_image = {};
        m_imagePage = 0;
        m_shown = {};
        m_view->setPixmap({});
        m_view->setText(QStringLiteral("Impossibile mostrare la pagina %1:\n%2")
                            .arg(m_page)
                            .arg(printFailureText(e)));
        return;
    }
    redraw();
}

// The outlines go on a copy for the screen only: the job prints from its own pages.
void PreviewWindow::redraw() {
    if (m_image.isNull())
        return;
    m_shown = m_image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (m_layout && chkContorni->isChecked()) {
        QPainter p(&m_shown);
        const double scale = m_imageDpi / kMmPerInch;
        p.setPen(QPen(QColor(120, 150, 200, 140), 1, Qt::DashLine));
        p.setRenderHint(QPainter::Antialiasing);
        const double radius = std::max(0.0, m_layout->cornerRadius) * scale;
        for (int r = 1; r <= m_layout->rows; ++r)
            for (int c = 1; c <= m_layout->columns; ++c) {
                const QRectF mm = m_layout->physicalLabel({r, c});
                p.drawRoundedRect(QRectF(mm.x() * scale, mm.y() * scale, mm.width() * scale, mm.height() * scale),
                                  radius, radius);
            }
    }
    m_view->setPixmap(QPixmap::fromImage(m_shown));
}

void PreviewWindow::updateControls() {
    lblPagina->setText(QStringLiteral("di %1").arg(m_pages));
    setWindowTitle(m_page > 0 ? QStringLiteral("Anteprima di stampa - Pagina %1 di %2").arg(m_page).arg(m_pages)
                              : QStringLiteral("Anteprima di stampa"));
    {
        const QSignalBlocker block(txtPagina);
        txtPagina->setValue(int(m_page));
    }
    cmdPrima->setEnabled(m_page > 1);
    cmdPrecedente->setEnabled(m_page > 1);
    cmdSuccessiva->setEnabled(m_page < m_pages);
    cmdUltima->setEnabled(m_page < m_pages);
    cmdStampa->setEnabled(m_pages > 0 && bool(m_print));
}

void PreviewWindow::cmdStampa_Click() {
    // The window goes first: the job asks its own confirmations.
    const auto print = m_print;
    accept();
    if (print)
        print();
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (m_fit != Fit::Free && isVisible()) {
        const double before = m_dpi;
        refit();
        if (std::abs(before - m_dpi) > 0.5)
            render();
    }
}

void PreviewWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    refit();
    render();
    m_scroll->setFocus();
}

} // namespace velomar::printing
