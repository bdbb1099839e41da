#pragma once

#include <QString>

namespace velomar::settings {

// One printer's calibration as the settings store keeps it: whole numbers, so nothing
// depends on how a decimal is written. The printing code turns it into its own value and
// checks it.
struct CalibrationValues {
    QString printer;
    int offsetXTenths = 0;      // tenths of a millimetre
    int offsetYTenths = 0;
    int scaleXHundredths = 10000; // hundredths of a percent
    int scaleYHundredths = 10000;

    bool operator==(const CalibrationValues&) const = default;
};

} // namespace velomar::settings
