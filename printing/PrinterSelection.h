#pragma once

#include "printing/Printer.h"

#include <QMarginsF>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace velomar::common {
class DialogService;
}

namespace velomar::printing {

// One installed printer as the printer list shows it.
struct PrinterEntry {
    QString deviceName;
    QString provider; // which back end lists it
    bool systemDefault = false;

    bool operator==(const PrinterEntry&) const = default;
};

// A back end that lists printers and creates a Printer for one job.
class PrinterProvider {
public:
    virtual ~PrinterProvider() = default;
    virtual QString id() const = 0;
    virtual std::vector<PrinterEntry> printers() const = 0;
    // May ask the user (the PDF file name); a refusal throws PrinterError(Cancelled).
    virtual std::unique_ptr<Printer> create(const PrinterEntry& entry,
                                            common::DialogService& dialogs) = 0;
    // The printable area of an A4 sheet on that printer (mm), without starting a job. By
    // default a laser printer's: 1/6 inch off every edge.
    virtual QSizeF printableSize(const PrinterEntry& entry, Orientation orientation) const;
    // The unprintable edges of that A4 sheet (mm), for a preview that places text as the
    // printer will. By default the laser printer's 1/6 inch.
    virtual QMarginsF printableMargins(const PrinterEntry& entry, Orientation orientation) const;
};

// The built-in PDF printer: asks for the file name when a job starts.
class PdfPrinterProvider : public PrinterProvider {
public:
    static QString providerId() { return QStringLiteral("pdf"); }
    QString id() const override { return providerId(); }
    std::vector<PrinterEntry> printers() const override;
    std::unique_ptr<Printer> create(const PrinterEntry& entry,
                                    common::DialogService& dialogs) override;

private:
    QString m_lastFolder;
};

// The current printer of the running program. At start it is the system default (the
// first default a back end reports, else the first printer listed); a choice made in
// the printer window lasts until the program ends.
class PrinterSelection {
public:
    PrinterSelection();
    ~PrinterSelection();
    PrinterSelection(const PrinterSelection&) = delete;
    PrinterSelection& operator=(const PrinterSelection&) = delete;

    // Providers list their printers in the order they are added.
    void addProvider(std::unique_ptr<PrinterProvider> provider);

    std::vector<PrinterEntry> printers() const;
    std::optional<PrinterEntry> current() const;
    QString currentName() const; // "" when there is no printer at all
    // Makes the first printer of that device name current; false when none has it.
    bool selectByName(const QString& deviceName);

    // Label jobs, envelopes and the test sheet take the printer's calibration; lists and
    // summaries print as laid out.
    enum class Calibration { Ignored, Applied };
    // A printer for one job on the current printer. Throws PrinterError(NoPrinter) when
    // there is none or the chosen one is no longer installed.
    std::unique_ptr<Printer> createPrinter(common::DialogService& dialogs,
                                           Calibration calibration = Calibration::Ignored);
    // Whether a printer of that device name is installed.
    bool isInstalled(const QString& deviceName) const;
    // The printable area of the current printer (mm); a laser printer's when there is none.
    QSizeF printableSize(Orientation orientation) const;
    QMarginsF printableMargins(Orientation orientation) const;

private:
    std::vector<std::unique_ptr<PrinterProvider>> m_providers;
    std::optional<PrinterEntry> m_chosen;
};

} // namespace velomar::printing
