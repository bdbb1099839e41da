#include "settings/Options.h"

namespace velomar::settings {

int Options::maximum(int index) {
    if (index >= 1 && index <= 20)
        return 1;
    switch (index) {
    case 21:
    case 22:
    case 25:
    case 26:
        return 1;
    case 23:
    case 24:
        return 10;
    default:
        return 0;
    }
}

void Options::setValue(int index, int value) {
    if (!inRange(index))
        return;
    m_values[index] = (value >= 0 && value <= maximum(index)) ? std::uint8_t(value) : 0;
}

} // namespace velomar::settings
