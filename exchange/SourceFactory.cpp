#include "exchange/SourceFactory.h"

#include "exchange/ExchangeError.h"

namespace velomar::exchange {

std::unique_ptr<SourceTable> openSource(const QString& path, const SourceOptions& options) {
    Q_UNUSED(path);
    Q_UNUSED(options);
    // No reader is built into this version yet.
    throw ExchangeError(ExchangeError::Unsupported, QStringLiteral("Formato non supportato"));
}

} // namespace velomar::exchange
