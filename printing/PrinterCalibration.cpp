#include "printing/PrinterCalibration.h"

#include "common/AppError.h"
#include "settings/Settings.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace velomar::printing {

namespace {

constexpr int kBadValue = 380; // "Invalid property value": what a refused value gives

bool onStep(double value, double step) {
    const double n = value / step;
    return std::abs(n - std::round(n)) < 1e-6;
}

// Two numbers "A,B" (decimal points) or "A;B" (decimal points or commas).
QPointF parsePair(const QString& text, const QString& option) {
    const QString t = text.trimmed();
    QStringList parts = t.split(u';');
    if (parts.size() == 2)
        for (QString& p : parts)
            p.replace(u',', u'.');
    else
        parts = t.split(u',');
    static const QRegularExpression number(QStringLiteral(R"(^\s*[+\-−]?\d+(\.\d+)?\s*$)"));
    if (parts.size() != 2 || !number.match(parts[0]).hasMatch() || !number.match(parts[1]).hasMatch())
        throw common::AppError(kBadValue, QStringLiteral("%1 richiede due numeri separati da una virgola "
                                                         "(orizzontale,verticale), non \"%2\".")
                                              .arg(option, text));
    const auto value = [](QString p) { return p.trimmed().replace(QChar(0x2212), u'-').toDouble(); };
    return {value(parts[0]), value(parts[1])};
}

QString signedMm(double mm) {
    const QLocale it(QLocale::Italian, QLocale::Italy);
    return (mm > 0 ? QStringLiteral("+") : QString()) + it.toString(mm, 'f', 1) + QStringLiteral(" mm");
}

QString percent(double p) {
    return QLocale(QLocale::Italian, QLocale::Italy).toString(p, 'f', 2) + QStringLiteral(" %");
}

} // namespace

QPointF PrinterCalibration::apply(QPointF p) const {
    return {p.x() * scaleXPercent / 100 + offsetXMm, p.y() * scaleYPercent / 100 + offsetYMm};
}

QRectF PrinterCalibration::apply(const QRectF& r) const {
    return QRectF(apply(r.topLeft()), apply(r.bottomRight()));
}

std::optional<QString> PrinterCalibration::problem() const {
    for (const double o : {offsetXMm, offsetYMm}) {
        if (!std::isfinite(o) || std::abs(o) > MaxOffsetMm + 1e-9)
            return QStringLiteral("Lo spostamento va da -10,0 a +10,0 mm, non %1 mm.")
                .arg(QLocale(QLocale::Italian).toString(o, 'g', 6));
        if (!onStep(o, 0.1))
            return QStringLiteral("Lo spostamento si indica in decimi di millimetro, non %1 mm.")
                .arg(QLocale(QLocale::Italian).toString(o, 'g', 6));
    }
    for (const double s : {scaleXPercent, scaleYPercent}) {
        if (!std::isfinite(s) || s < MinScalePercent - 1e-9 || s > MaxScalePercent + 1e-9)
            return QStringLiteral("La scala va da 98,0 a 102,0 %, non %1 %.")
                .arg(QLocale(QLocale::Italian).toString(s, 'g', 6));
        if (!onStep(s, 0.01))
            return QStringLiteral("La scala si indica in centesimi di punto percentuale, non %1 %.")
                .arg(QLocale(QLocale::Italian).toString(s, 'g', 6));
    }
    return std::nullopt;
}

QPointF PrinterCalibration::parseOffset(const QString& text) {
    return parsePair(text, QStringLiteral("--offset"));
}

QPointF PrinterCalibration::parseScale(const QString& text) {
    return parsePair(text, QStringLiteral("--scale"));
}

QString PrinterCalibration::text() const {
    return QStringLiteral("spostamento orizzontale %1, verticale %2; scala orizzontale %3, verticale %4")
        .arg(signedMm(offsetXMm), signedMm(offsetYMm), percent(scaleXPercent), percent(scaleYPercent));
}

PrinterCalibration PrinterCalibration::load(const settings::Settings& store, const QString& printer,
                                            QString* note) {
    const auto v = store.printerCalibration(printer);
    if (!v)
        return {};
    const PrinterCalibration c{v->offsetXTenths / 10.0, v->offsetYTenths / 10.0, v->scaleXHundredths / 100.0,
                               v->scaleYHundredths / 100.0};
    if (const auto why = c.problem()) {
        if (note)
            *note = QStringLiteral("La calibrazione salvata della stampante \"%1\" non è valida e non è "
                                   "usata: %2")
                        .arg(printer, *why);
        return {};
    }
    return c;
}

bool PrinterCalibration::isStored(const settings::Settings& store, const QString& printer) {
    return store.printerCalibration(printer).has_value();
}

void PrinterCalibration::save(settings::Settings& store, const QString& printer) const {
    if (const auto why = problem())
        throw common::AppError(kBadValue, *why);
    if (printer.trimmed().isEmpty())
        throw common::AppError(kBadValue, QStringLiteral("Manca il nome della stampante."));
    store.setPrinterCalibration({printer, int(std::lround(offsetXMm * 10)), int(std::lround(offsetYMm * 10)),
                                 int(std::lround(scaleXPercent * 100)), int(std::lround(scaleYPercent * 100))});
}

void PrinterCalibration::reset(settings::Settings& store, const QString& printer) {
    store.removePrinterCalibration(printer);
}

} // namespace velomar::printing
