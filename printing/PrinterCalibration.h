#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>
#include <optional>

namespace velomar::settings {
class Settings;
}

namespace velomar::printing {

// How far one printer is off: what it is given is moved by the offset and scaled about the
// paper's top-left corner, so that labels land on the labels of that printer. Applied after
// the label offsets of the options, which are the same for every printer.
struct PrinterCalibration {
    static constexpr double MaxOffsetMm = 10.0;
    static constexpr double MinScalePercent = 98.0;
    static constexpr double MaxScalePercent = 102.0;

    double offsetXMm = 0; // positive: to the right
    double offsetYMm = 0; // positive: down
    double scaleXPercent = 100;
    double scaleYPercent = 100;

    bool operator==(const PrinterCalibration&) const = default;
    bool isIdentity() const { return *this == PrinterCalibration{}; }

    // A point or rectangle of the paper (mm from its top-left corner) where the
    // calibrated printer is told to put it.
    QPointF apply(QPointF paperMm) const;
    QRectF apply(const QRectF& paperMm) const;

    // Why the values cannot be used (Italian), or nothing: offsets from -10.0 to +10.0 mm
    // in tenths of a millimetre, scales from 98.00 to 102.00 % in hundredths.
    std::optional<QString> problem() const;

    // "X,Y" as the command line takes them ("0.5,-1.2"; a decimal comma is taken when the
    // two values are apart by a semicolon). Throw common::AppError with the Italian reason.
    static QPointF parseOffset(const QString& text);
    static QPointF parseScale(const QString& text);

    // "orizzontale +0,5 mm, verticale −1,2 mm; scala orizzontale 100,00 %, verticale 99,80 %"
    QString text() const;

    // The stored calibration of that printer; none (the identity) when never stored. A
    // stored value that cannot be used is said through note, and none is used.
    static PrinterCalibration load(const settings::Settings& store, const QString& printer,
                                   QString* note = nullptr);
    static bool isStored(const settings::Settings& store, const QString& printer);
    // Checks the values (throws common::AppError) and stores them for that printer only.
    void save(settings::Settings& store, const QString& printer) const;
    static void reset(settings::Settings& store, const QString& printer);
};

} // namespace velomar::printing
