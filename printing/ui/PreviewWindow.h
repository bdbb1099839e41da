#pragma once

#include "printing/JobPreview.h"
#include "printing/LabelLayout.h"
#include "printing/StampaEtichette.h"

#include <QDialog>
#include <QImage>
#include <QSizeF>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QToolButton;

namespace velomar::archive {
class Recordset;
}

namespace velomar::printing {

class Printer;
class PrinterSelection;

// "Anteprima di stampa": the pages of a job one at a time, each asked of the page
// provider when shown, so a job of thousands of sheets opens as fast as one of one.
// "Stampa" closes the window and runs the given print action; "Chiudi" prints nothing.
class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    // page 1..pageCount, the whole sheet at dpi; it may throw, the cause is then shown
    // in place of the page.
    using PageProvider = std::function<QImage(qint64 page, double dpi)>;

    PreviewWindow(qint64 pageCount, PageProvider provider, QWidget* parent = nullptr);

    // Opens, over parent and deleted when closed, the preview of a label job printing rs
    // (kept open by the window) on sheets of format from start on the current printer;
    // print runs the real job.
    static PreviewWindow* openLabels(QWidget* parent, const PrinterSelection& printers,
                                     archive::Recordset rs, LabelOptions options, LabelPosition start,
                                     const SheetFormat& format, std::function<void()> print,
                                     bool oneLabelPerDoor = false);

    // The same for a list, summary, groups or envelope job (see JobPreview::Job): one pass
    // lays the pages out without drawing, then each page shown is printed from where it
    // starts. Throws what the layout pass throws.
    static PreviewWindow* openJob(QWidget* parent, const PrinterSelection& printers, JobPreview::Job job,
                                  std::function<void()> print);

    // Label jobs: the sheet whose outlines the toggle draws over every page.
    void setLabelLayout(const LabelLayout& layout);
    void setPrintAction(std::function<void()> action) {
        m_print = std::move(action);
        updateControls();
    }

    qint64 pageCount() const { return m_pages; }
    qint64 currentPage() const { return m_page; }
    double dpi() const { return m_dpi; }
    // The page as shown, outlines included.
    QImage shownImage() const { return m_shown; }

    void showPage(qint64 page);
    void fitWholePage();
    void fitPageWidth();
    void zoomBy(double factor);
    void cmdStampa_Click();

    QLabel* lblPagina = nullptr;
    QSpinBox* txtPagina = nullptr;
    QToolButton* cmdPrima = nullptr;
    QToolButton* cmdPrecedente = nullptr;
    QToolButton* cmdSuccessiva = nullptr;
    QToolButton* cmdUltima = nullptr;
    QPushButton* cmdPaginaIntera = nullptr;
    QPushButton* cmdLarghezza = nullptr;
    QToolButton* cmdZoomPiu = nullptr;
    QToolButton* cmdZoomMeno = nullptr;
    QCheckBox* chkContorni = nullptr;
    QPushButton* cmdStampa = nullptr;
    QPushButton* cmdChiudi = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    enum class Fit { WholePage, PageWidth, Free };
    void setDpi(double dpi, Fit fit);
    void refit();
    void render();
    void redraw();
    void updateControls();

    qint64 m_pages;
    PageProvider m_provider;
    std::function<void()> m_print;
    std::optional<LabelLayout> m_layout;
    qint64 m_page = 0;
    double m_dpi = 72;
    Fit m_fit = Fit::WholePage;
    QSizeF m_paperMm{210, 297}; // from the last page drawn
    QImage m_image;             // the current page only
    qint64 m_imagePage = 0;
    double m_imageDpi = 0;
    QImage m_shown;
    QScrollArea* m_scroll = nullptr;
    QLabel* m_view = nullptr;
};

} // namespace velomar::printing
