#pragma once

#include <QString>
#include <array>

namespace velomar::settings {

// The two sender addresses of "Setup.ini": 6 lines each.
struct SenderLines {
    std::array<QString, 6> sender1;
    std::array<QString, 6> sender2;

    const std::array<QString, 6>& sender(int index) const { return index ? sender2 : sender1; }
    bool operator==(const SenderLines&) const = default;
};

} // namespace velomar::settings
