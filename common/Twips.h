#pragma once

namespace velomar::common {

// Window sizes and column widths are kept in twips (1/1440 inch); the screen works in
// pixels at its logical DPI.
class Twips {
public:
    static constexpr int PerInch = 1440;
    // dpi <= 0 means the primary screen's logical DPI (96 without a screen).
    static int toPixels(int twips, double dpi = 0);
    static int fromPixels(int pixels, double dpi = 0);
    static double screenDpi();
};

} // namespace velomar::common
