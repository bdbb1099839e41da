#include "archive/ArchiveBatch.h"

#include <QTextStream>

namespace velomar::archive {

int batchSample(const QStringList&, QTextStream&, QTextStream& err) {
    err << "Comando non ancora disponibile.\n";
    return 2;
}

int batchCount(const QStringList&, QTextStream&, QTextStream& err) {
    err << "Comando non ancora disponibile.\n";
    return 2;
}

} // namespace velomar::archive
