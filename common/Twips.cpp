#include "common/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace velomar::common {

double Twips::screenDpi() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (QScreen* s = QGuiApplication::primaryScreen())
            if (s->logicalDotsPerInch() > 0)
                return s->logicalDotsPerInch();
    return 96.0;
}

int Twips::toPixels(int twips, double dpi) {
    if (dpi <= 0)
        dpi = screenDpi();
    return int(std::lround(double(twips) * dpi / PerInch));
}

int Twips::fromPixels(int pixels, double dpi) {
    if (dpi <= 0)
        dpi = screenDpi();
    return int(std::lround(double(pixels) * PerInch / dpi));
}

} // namespace velomar::common
