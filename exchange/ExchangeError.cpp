#include "exchange/ExchangeError.h"

#include "common/SystemErrorText.h"

#include <QFileDevice>

namespace velomar::exchange {

ExchangeError ExchangeError::readFailed(const QFileDevice& file) {
    return ExchangeError(ReadFailed, QStringLiteral("Errore di lettura del file \"%1\": %2")
                                         .arg(file.fileName(), common::SystemErrorText::ofFile(file)));
}

ExchangeError ExchangeError::lineTooLong(qint64 line) {
    return ExchangeError(BadInput,
                         QStringLiteral("La riga %1 è più lunga di 1 MB: il file non è un elenco "
                                        "di indirizzi leggibile.")
                             .arg(line));
}

} // namespace velomar::exchange
