#include "exchange/ExchangeBatch.h"

#include <QTextStream>

namespace velomar::exchange {

int batchExport(const QStringList&, QTextStream&, QTextStream& err) {
    err << "Comando non ancora disponibile.\n";
    return 2;
}

int batchImport(const QStringList&, QTextStream&, QTextStream& err) {
    err << "Comando non ancora disponibile.\n";
    return 2;
}

int batchList(const QStringList&, QTextStream&, QTextStream& err) {
    err << "Comando non ancora disponibile.\n";
    return 2;
}

} // namespace velomar::exchange
