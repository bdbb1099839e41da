#include "settings/Settings.h"

#include "common/SystemErrorText.h"

#include <QDir>
#include <QLocale>
#include <QSaveFile>
#include <QSettings>
#include <QStringList>

namespace velomar::settings {

namespace {
const QString kProgramDir = QStringLiteral("ProgramDir");
const QString kLastDirArch = QStringLiteral("Cartelle/LastDirArch");
const QString kCapTable = QStringLiteral("Verifica/TabellaCAP");
const QString kOpzioni = QStringLiteral("Opzioni/OptApp_%1");
const QString kColW = QStringLiteral("GrigliaEDIT/Col_W%1");
const QString kCampoRicerche = QStringLiteral("GrigliaEDIT/CampoRicerche");
const QString kOrdinamento = QStringLiteral("GrigliaEDIT/Ordinamento");
const QString kRip = QStringLiteral("Input/Rip_%1");
const QString kWindow = QStringLiteral("Finestre/%1");
const QString kSheet = QStringLiteral("Etichette");
const QString kCustomSheet = QStringLiteral("EtichettaPersonale");
const QString kCalibration = QStringLiteral("Calibrazione/%1/%2");

// A printer name as one key: a slash or backslash in it would open a sub-key.
QString calibrationKey(const QString& printer, const QString& value) {
    return kCalibration.arg(QString::fromLatin1(printer.toUtf8().toPercentEncoding()), value);
}
} // namespace

Settings::Settings()
    : m_store(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                          QStringLiteral("QZ"), QStringLiteral("Velomar"))) {}

Settings::~Settings() = default;

bool Settings::isUsable() const { return m_store->status() == QSettings::NoError; }

void Settings::sync() { m_store->sync(); }

std::optional<QString> Settings::save() {
    m_store->sync();
    if (m_store->status() == QSettings::NoError)
        return std::nullopt;
    // QSettings keeps no cause: a save file opened where it writes finds it.
    const QString path = fileName();
    QSaveFile probe(path);
    QString cause = QStringLiteral("file non scrivibile o danneggiato.");
    if (!probe.open(QIODevice::WriteOnly))
        cause = common::SystemErrorText::ofFile(probe);
    probe.cancelWriting();
    return QStringLiteral("Impossibile salvare le impostazioni in %1: %2")
        .arg(QDir::toNativeSeparators(path), cause);
}

QString Settings::fileName() const { return m_store->fileName(); }

std::optional<QString> Settings::programDir() const {
    const QVariant v = m_store->value(kProgramDir);
    if (!v.isValid())
        return std::nullopt;
    const QString text = v.toString();
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

void Settings::setProgramDir(const QString& value) { m_store->setValue(kProgramDir, value); }

QString Settings::lastDirArch() const { return m_store->value(kLastDirArch).toString().left(255); }

void Settings::setLastDirArch(const QString& folder) { m_store->setValue(kLastDirArch, folder); }

std::optional<QString> Settings::capTable() const {
    const QVariant v = m_store->value(kCapTable);
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

void Settings::setCapTable(const std::optional<QString>& path) {
    if (path)
        m_store->setValue(kCapTable, *path);
    else
        m_store->remove(kCapTable);
}

std::optional<int> Settings::readInt(const QString& key) const {
    const QVariant v = m_store->value(key);
    if (!v.isValid())
        return std::nullopt;
    bool ok = false;
    const int value = v.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

Options Settings::readOptions() const {
    Options options;
    for (int i = 1; i <= Options::Count; ++i)
        options.setValue(i, readInt(kOpzioni.arg(i)).value_or(0));
    return options;
}

void Settings::writeOptions(const Options& options) {
    for (int i = 1; i <= Options::Count; ++i)
        m_store->setValue(kOpzioni.arg(i), int(options.value(i)));
}

std::optional<int> Settings::gridColumnWidth(int column) const { return readInt(kColW.arg(column)); }

void Settings::setGridColumnWidth(int column, int twips) {
    m_store->setValue(kColW.arg(column), twips);
}

std::optional<int> Settings::campoRicerche() const { return readInt(kCampoRicerche); }
void Settings::setCampoRicerche(int index) { m_store->setValue(kCampoRicerche, index); }
std::optional<int> Settings::ordinamento() const { return readInt(kOrdinamento); }
void Settings::setOrdinamento(int index) { m_store->setValue(kOrdinamento, index); }

std::optional<int> Settings::repeatInput(int field) const { return readInt(kRip.arg(field)); }
void Settings::setRepeatInput(int field, int value) { m_store->setValue(kRip.arg(field), value); }

QString Settings::sectionName(FieldSection section) {
    switch (section) {
    case FieldSection::Esporta:
        return QStringLiteral("Esporta");
    case FieldSection::StampaF:
        return QStringLiteral("StampaF");
    case FieldSection::StampaNF:
        return QStringLiteral("StampaNF");
    }
    return {};
}

std::optional<int> Settings::fieldChoice(FieldSection section, int field) const {
    return readInt(sectionName(section) + QStringLiteral("/Campo_%1").arg(field));
}

void Settings::setFieldChoice(FieldSection section, int field, int value) {
    m_store->setValue(sectionName(section) + QStringLiteral("/Campo_%1").arg(field), value);
}

std::optional<int> Settings::rangeChoice(FieldSection section) const {
    return readInt(sectionName(section) + QStringLiteral("/Intervallo"));
}

void Settings::setRangeChoice(FieldSection section, int value) {
    m_store->setValue(sectionName(section) + QStringLiteral("/Intervallo"), value);
}

} // namespace velomar::settings

namespace velomar::settings {

std::optional<QRect> Settings::windowGeometry(const QString& window) const {
    // A hand-edited value without quotes reads back as a list.
    const QVariant stored = m_store->value(kWindow.arg(window));
    const QStringList parts = stored.typeId() == QMetaType::QStringList ? stored.toStringList()
                                                                       : stored.toString().split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (v[2] <= 0 || v[3] <= 0)
        return std::nullopt;
    return QRect(v[0], v[1], v[2], v[3]);
}

void Settings::setWindowGeometry(const QString& window, const QRect& geometry) {
    m_store->setValue(kWindow.arg(window), QStringLiteral("%1,%2,%3,%4")
                                               .arg(geometry.x())
                                               .arg(geometry.y())
                                               .arg(geometry.width())
                                               .arg(geometry.height()));
}

std::optional<SheetValues> Settings::readSheet(const QString& section) const {
    const auto text = [&](const char* key) {
        return m_store->value(section + QLatin1Char('/') + QLatin1String(key)).toString();
    };
    SheetValues v;
    v.name = text("Foglio");
    v.paper = text("Carta");
    bool ok = !v.name.isEmpty() && !v.paper.isEmpty();
    const auto integer = [&](const char* key, int& out) {
        bool good = false;
        out = text(key).toInt(&good);
        ok = ok && good;
    };
    // Stored with a dot whatever the locale.
    const auto number = [&](const char* key, double& out) {
        bool good = false;
        out = text(key).toDouble(&good);
        ok = ok && good;
    };
    integer("Colonne", v.columns);
    integer("Righe", v.rows);
    number("Larghezza", v.labelWidth);
    number("Altezza", v.labelHeight);
    number("MargineSinistro", v.left);
    number("MargineAlto", v.top);
    number("PassoOrizzontale", v.columnPitch);
    number("PassoVerticale", v.rowPitch);
    number("Raggio", v.cornerRadius);
    if (!ok)
        return std::nullopt;
    return v;
}

void Settings::writeSheet(const QString& section, const SheetValues& v) {
    const auto put = [&](const char* key, const QString& value) {
        m_store->setValue(section + QLatin1Char('/') + QLatin1String(key), value);
    };
    const auto number = [](double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); };
    put("Foglio", v.name);
    put("Carta", v.paper);
    put("Colonne", QString::number(v.columns));
    put("Righe", QString::number(v.rows));
    put("Larghezza", number(v.labelWidth));
    put("Altezza", number(v.labelHeight));
    put("MargineSinistro", number(v.left));
    put("MargineAlto", number(v.top));
    put("PassoOrizzontale", number(v.columnPitch));
    put("PassoVerticale", number(v.rowPitch));
    put("Raggio", number(v.cornerRadius));
}

std::optional<SheetValues> Settings::labelSheet() const { return readSheet(kSheet); }
std::optional<QString> Settings::labelSheetName() const {
    const QString name = m_store->value(kSheet + QStringLiteral("/Foglio")).toString();
    if (name.isEmpty())
        return std::nullopt;
    return name;
}
void Settings::setLabelSheet(const SheetValues& values) { writeSheet(kSheet, values); }
std::optional<SheetValues> Settings::customLabelSheet() const { return readSheet(kCustomSheet); }
void Settings::setCustomLabelSheet(const SheetValues& values) { writeSheet(kCustomSheet, values); }

std::optional<CalibrationValues> Settings::printerCalibration(const QString& printer) const {
    CalibrationValues v;
    v.printer = printer;
    int* fields[] = {&v.offsetXTenths, &v.offsetYTenths, &v.scaleXHundredths, &v.scaleYHundredths};
    const char* names[] = {"SpostamentoX", "SpostamentoY", "ScalaX", "ScalaY"};
    for (int i = 0; i < 4; ++i) {
        const auto n = readInt(calibrationKey(printer, QLatin1String(names[i])));
        if (!n)
            return std::nullopt;
        *fields[i] = *n;
    }
    return v;
}

void Settings::setPrinterCalibration(const CalibrationValues& v) {
    m_store->setValue(calibrationKey(v.printer, QStringLiteral("Stampante")), v.printer);
    m_store->setValue(calibrationKey(v.printer, QStringLiteral("SpostamentoX")), v.offsetXTenths);
    m_store->setValue(calibrationKey(v.printer, QStringLiteral("SpostamentoY")), v.offsetYTenths);
    m_store->setValue(calibrationKey(v.printer, QStringLiteral("ScalaX")), v.scaleXHundredths);
    m_store->setValue(calibrationKey(v.printer, QStringLiteral("ScalaY")), v.scaleYHundredths);
}

void Settings::removePrinterCalibration(const QString& printer) {
    m_store->remove(calibrationKey(printer, QString()).chopped(1));
}

} // namespace velomar::settings
