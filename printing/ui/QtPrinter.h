#pragma once

#include "printing/PaintPrinter.h"
#include "printing/PrinterSelection.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace velomar::printing {

// A system printer through QPrinter (CUPS). Every document is a print job of its own,
// so a full label sheet reaches the printer as soon as it is complete. Positions start at
// the driver's printable area.
class QtPrinter : public PaintPrinter {
public:
    explicit QtPrinter(const QPrinterInfo& info);
    ~QtPrinter() override;

    QString deviceName() const override { return m_name; }

protected:
    QPagedPaintDevice& device() override { return m_printer; }
    const QPagedPaintDevice& device() const override { return m_printer; }
    void beginDocument(QPainter& painter, bool firstOfJob) override;
    void finishDocument(QPainter& painter) override;
    void discardDocument(QPainter& painter) override;
    void applyOrientation(Orientation orientation) override;

private:
    QString m_name;
    QPrinter m_printer;
};

// Lists the CUPS printers, the system default flagged.
class QtPrinterProvider : public PrinterProvider {
public:
    static QString providerId() { return QStringLiteral("system"); }
    QString id() const override { return providerId(); }
    std::vector<PrinterEntry> printers() const override;
    std::unique_ptr<Printer> create(const PrinterEntry& entry,
                                    common::DialogService& dialogs) override;
    // The driver's printable area on A4 (the default when the printer is gone).
    QSizeF printableSize(const PrinterEntry& entry, Orientation orientation) const override;
    QMarginsF printableMargins(const PrinterEntry& entry, Orientation orientation) const override;
};

} // namespace velomar::printing
