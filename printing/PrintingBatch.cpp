#include "printing/PrintingBatch.h"

#include <QTextStream>

namespace velomar::printing {

int batchLabels(const QStringList&, QTextStream&, QTextStream& err) {
    err << "Comando non ancora disponibile.\n";
    return 2;
}

} // namespace velomar::printing
