#pragma once

#include <QString>

namespace velomar::settings {

// A label sheet format as the settings store keeps it (mm); the printing code turns it
// into its own value and checks it.
struct SheetValues {
    QString name;
    QString paper = QStringLiteral("A4");
    int columns = 0;
    int rows = 0;
    double labelWidth = 0;
    double labelHeight = 0;
    double left = 0;
    double top = 0;
    double columnPitch = 0;
    double rowPitch = 0;
    double cornerRadius = 0;

    bool operator==(const SheetValues&) const = default;
};

} // namespace velomar::settings
