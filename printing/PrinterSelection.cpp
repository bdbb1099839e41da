#include "printing/PrinterSelection.h"

#include "common/DialogService.h"
#include "printing/CalibratedPrinter.h"
#include "printing/PdfPrinter.h"
#include "printing/PrinterError.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>

namespace velomar::printing {

QSizeF PrinterProvider::printableSize(const PrinterEntry&, Orientation orientation) const {
    constexpr double kA4Width = 210;
    constexpr double kA4Height = 297;
    const QSizeF portrait(kA4Width - 2 * PdfPrinter::InsetMm, kA4Height - 2 * PdfPrinter::InsetMm);
    return orientation == Orientation::Portrait ? portrait : portrait.transposed();
}

QMarginsF PrinterProvider::printableMargins(const PrinterEntry&, Orientation) const {
    const double in = PdfPrinter::InsetMm;
    return {in, in, in, in};
}

std::vector<PrinterEntry> PdfPrinterProvider::printers() const {
    return {{PdfPrinter::defaultName(), providerId(), false}};
}

std::unique_ptr<Printer> PdfPrinterProvider::create(const PrinterEntry& entry,
                                                    common::DialogService& dialogs) {
    common::FileDialogOptions options;
    options.title = QStringLiteral("Stampa su File PDF");
    options.folder = m_lastFolder.isEmpty() ? QDir::homePath() : m_lastFolder;
    options.filter = QStringLiteral("Documento PDF (*.pdf)|*.pdf|");
    options.defaultSuffix = QStringLiteral(".pdf");
    options.confirmOverwrite = true;
    const std::optional<QString> path = dialogs.saveFile(options);
    if (!path || path->trimmed().isEmpty())
        throw PrinterError(PrinterError::Cancelled, QStringLiteral("Stampa annullata."));
    m_lastFolder = QFileInfo(*path).absolutePath();
    return std::make_unique<PdfPrinter>(*path, entry.deviceName);
}

PrinterSelection::PrinterSelection() = default;
PrinterSelection::~PrinterSelection() = default;

void PrinterSelection::addProvider(std::unique_ptr<PrinterProvider> provider) {
    m_providers.push_back(std::move(provider));
}

std::vector<PrinterEntry> PrinterSelection::printers() const {
    std::vector<PrinterEntry> all;
    for (const auto& provider : m_providers) {
        auto list = provider->printers();
        all.insert(all.end(), list.begin(), list.end());
    }
    return all;
}

std::optional<PrinterEntry> PrinterSelection::current() const {
    if (m_chosen)
        return m_chosen;
    const auto all = printers();
    for (const PrinterEntry& e : all)
        if (e.systemDefault)
            return e;
    if (!all.empty())
        return all.front();
    return std::nullopt;
}

QString PrinterSelection::currentName() const {
    const auto entry = current();
    return entry ? entry->deviceName : QString();
}

bool PrinterSelection::selectByName(const QString& deviceName) {
    for (const PrinterEntry& e : printers()) {
        if (e.deviceName == deviceName) {
            m_chosen = e;
            return true;
        }
    }
    return false;
}

bool PrinterSelection::isInstalled(const QString& deviceName) const {
    for (const PrinterEntry& e : printers())
        if (e.deviceName == deviceName)
            return true;
    return false;
}

std::unique_ptr<Printer> PrinterSelection::createPrinter(common::DialogService& dialogs,
                                                         Calibration calibration) {
    const auto entry = current();
    if (!entry)
        throw PrinterError(PrinterError::NoPrinter, QStringLiteral("Nessuna stampante installata."));
    for (const auto& provider : m_providers) {
        if (provider->id() != entry->provider)
            continue;
        for (const PrinterEntry& e : provider->printers())
            if (e.deviceName == entry->deviceName) {
                if (calibration == Calibration::Ignored)
                    return provider->create(e, dialogs);
                QString note;
                const PrinterCalibration values = PrinterCalibration::load(settings::Settings(), e.deviceName, &note);
                if (!note.isEmpty())
                    dialogs.message(note, common::MsgIcon::Exclamation);
                return CalibratedPrinter::wrap(provider->create(e, dialogs), values);
            }
    }
    throw PrinterError(PrinterError::NoPrinter,
                       QStringLiteral("La stampante \"%1\" non è più disponibile.").arg(entry->deviceName));
}

QSizeF PrinterSelection::printableSize(Orientation orientation) const {
    const auto entry = current();
    for (const auto& provider : m_providers)
        if (entry && provider->id() == entry->provider)
            return provider->printableSize(*entry, orientation);
    return PdfPrinterProvider().printableSize({}, orientation);
}

QMarginsF PrinterSelection::printableMargins(Orientation orientation) const {
    const auto entry = current();
    for (const auto& provider : m_providers)
        if (entry && provider->id() == entry->provider)
            return provider->printableMargins(*entry, orientation);
    return PdfPrinterProvider().printableMargins({}, orientation);
}

} // namespace velomar::printing
