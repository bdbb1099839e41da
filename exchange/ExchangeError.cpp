#include "exchange/ExchangeError.h"

#include "common/SystemErrorText.h"

#include <QFileDevice>

namespace velomar::exchange {

ExchangeError ExchangeError::readFailed(const QFileDevice& file) {
    return ExchangeError(ReadFailed, QStringLiteral("Errore di lettura del file \"%1\": %2")
                                         .arg(file.fileName(), common::SystemErrorText::ofFile(file)));
}

} // namespace velomar::exchange
