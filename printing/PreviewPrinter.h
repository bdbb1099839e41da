#pragma once

#include "printing/PaintPrinter.h"

#include <QBuffer>
#include <QImage>
#include <QPdfWriter>

namespace velomar::printing {

// A printer that draws one page of a job onto an image and passes over every other
// page. It measures and places text as the PDF printer does (same paper, same
// printable origin, the same 1200 dpi measures), so the image is the page the PDF file
// would hold. Nothing is written anywhere.
class PreviewPrinter : public PaintPrinter {
public:
    // wantedPage counts the pages of the whole job from 1, across its documents; 0 draws
    // nothing at all, the pages are only laid out and counted.
    PreviewPrinter(qint64 wantedPage, double dpi);
    ~PreviewPrinter() override;

    QString deviceName() const override { return QStringLiteral("Anteprima"); }

    // The chosen printer's unprintable edges by orientation (the PDF printer's by
    // default), so text lands where that printer will put it.
    void setPrintableMargins(QMarginsF portrait, QMarginsF landscape) {
        m_portrait = portrait;
        m_landscape = landscape;
    }

    // True once the wanted page has been started.
    bool pageReached() const { return m_reached; }
    // The wanted page, the whole sheet at the chosen resolution; complete once its
    // document has ended. Null while the page was not reached.
    QImage image() const { return m_image; }

protected:
    QPagedPaintDevice& device() override { return m_measure; }
    const QPagedPaintDevice& device() const override { return m_measure; }
    QMarginsF printableInset() const override;
    void beginDocument(QPainter& painter, bool firstOfJob) override;
    void finishDocument(QPainter& painter) override;
    void discardDocument(QPainter& painter) override;
    void applyOrientation(Orientation orientation) override;
    bool turnPage(QPainter& painter) override;

private:
    // Points the painter at the page about to start: the image or a scrap.
    void startPage(QPainter& painter, qint64 page);

    qint64 m_wanted;
    double m_dpi;
    QBuffer m_nowhere;   // never opened: the writer only measures
    QPdfWriter m_measure; // after m_nowhere
    QImage m_image;
    QImage m_scrap;
    bool m_reached = false;
    QMarginsF m_portrait;
    QMarginsF m_landscape;
};

} // namespace velomar::printing
