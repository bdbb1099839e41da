#pragma once

#include "settings/CalibrationValues.h"
#include "settings/Options.h"
#include "settings/SheetValues.h"

#include <QRect>
#include <QString>
#include <memory>
#include <optional>

class QSettings;

namespace velomar::settings {

// The settings store: the only code that knows key paths and value names. Keys mirror
// Software\QZ\Velomar\...; the store itself is QSettings (organization "QZ",
// application "Velomar").
class Settings {
public:
    // Sections holding Campo_0..Campo_16 and Intervallo.
    enum class FieldSection { Esporta, StampaF, StampaNF };

    Settings();
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // False when the backing file exists but cannot be read or parsed.
    bool isUsable() const;
    void sync();
    // sync, then why the store could not be written ("Impossibile salvare le
    // impostazioni in ...: cause"), or nothing when it was.
    std::optional<QString> save();
    // Path of the backing file, for messages.
    QString fileName() const;

    // ProgramDir as stored (nullopt when missing); the program folder is derived by
    // dropping the last path separator and what follows.
    std::optional<QString> programDir() const;
    void setProgramDir(const QString& value);

    // Verifica/TabellaCAP: the comuni's own CAP table chosen in the options; nullopt when
    // never chosen (the program folder's is used), "" when the user chose none.
    std::optional<QString> capTable() const;
    void setCapTable(const std::optional<QString>& path);

    QString lastDirArch() const; // "" when missing
    void setLastDirArch(const QString& folder);

    Options readOptions() const; // missing or invalid values read as 0
    void writeOptions(const Options& options);

    // GrigliaEDIT
    std::optional<int> gridColumnWidth(int column) const; // Col_W0..Col_W16, twips
    void setGridColumnWidth(int column, int twips);
    std::optional<int> campoRicerche() const;
    void setCampoRicerche(int index);
    std::optional<int> ordinamento() const;
    void setOrdinamento(int index);

    // Input: Rip_1..Rip_16
    std::optional<int> repeatInput(int field) const;
    void setRepeatInput(int field, int value);

    // Esporta / StampaF / StampaNF
    std::optional<int> fieldChoice(FieldSection section, int field) const; // Campo_0..16
    void setFieldChoice(FieldSection section, int field, int value);
    std::optional<int> rangeChoice(FieldSection section) const; // Intervallo
    void setRangeChoice(FieldSection section, int value);

    static QString sectionName(FieldSection section);

    // Etichette: the label sheet format in use, with all its values; EtichettaPersonale:
    // the user's own format. nullopt when never stored or incomplete.
    std::optional<SheetValues> labelSheet() const;
    // The name of the stored label sheet even when its values are not usable; nullopt
    // when none was ever chosen.
    std::optional<QString> labelSheetName() const;
    void setLabelSheet(const SheetValues& values);
    std::optional<SheetValues> customLabelSheet() const;
    void setCustomLabelSheet(const SheetValues& values);

    // Finestre/<window>: where the user left a window ("x,y,width,height"); nullopt when
    // never stored or unreadable.
    std::optional<QRect> windowGeometry(const QString& window) const;
    void setWindowGeometry(const QString& window, const QRect& geometry);

    // Calibrazione/<printer>: one printer's calibration; nullopt when never stored or
    // unreadable. Each printer's values are apart: writing or removing one never touches
    // another's.
    std::optional<CalibrationValues> printerCalibration(const QString& printer) const;
    void setPrinterCalibration(const CalibrationValues& values);
    void removePrinterCalibration(const QString& printer);

private:
    std::optional<int> readInt(const QString& key) const;
    std::optional<SheetValues> readSheet(const QString& section) const;
    void writeSheet(const QString& section, const SheetValues& values);
    std::unique_ptr<QSettings> m_store;
};

} // namespace velomar::settings
