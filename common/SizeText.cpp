#include "common/SizeText.h"

#include <QFileInfo>
#include <QLocale>

#include <cmath>

namespace velomar::common {

QString SizeText::forBytes(qint64 bytes) {
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    const double kb = double(bytes) / 1024.0;
    // Rounded half away from zero, as the original number formats round.
    const qint64 rounded = qint64(std::floor(kb + 0.5));
    QString text;
    if (kb < 1000.0)
        text = QString::number(rounded) + QStringLiteral(" Kbyte");
    else
        text = italian.toString(rounded) + QStringLiteral(" Mbyte");
    return text + QStringLiteral("  (") + QString::number(bytes) + QStringLiteral(" bytes)");
}

QString SizeText::forFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return {};
    return forBytes(info.size());
}

} // namespace velomar::common
