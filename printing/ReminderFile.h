#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

namespace velomar::archive {
class AddressSource;
struct AddressRecord;
} // namespace velomar::archive
namespace velomar::common {
class DialogService;
}

namespace velomar::printing {

// The dated text file a label job leaves, listing the addresses sent to print:
// Windows-1252, every line ended by CR LF.
class ReminderFile {
public:
    static QString singleHeader() { return QStringLiteral("Stampa Etichette SINGOLE del "); }
    static QString shopHeader() { return QStringLiteral("Stampa per TIPOGRAFIA del "); }
    static QString singleTitle() { return QStringLiteral("Stampe Etichette Singole - Promemoria"); }
    static QString shopTitle() { return QStringLiteral("Stampe per Tipografia - Promemoria"); }

    // "2024-03-05_14-07-09"
    static QString proposedName(const QDateTime& now);
    // Why a typed name cannot be used (it must stay inside its folder and be a plain
    // file name), or nothing when it is fine.
    static std::optional<QString> nameProblem(const QString& name);

    // Asks for the name until settled: a refused name is explained and asked again; an
    // existing file is replaced only on Yes, No proposes a fresh name. Returns the full
    // path, or nothing when the answer is empty or Cancel.
    static std::optional<QString> askPath(common::DialogService& dialogs, const QString& folder,
                                          const QString& title,
                                          const std::function<QDateTime()>& now = &QDateTime::currentDateTime);

    // "NR    - COGNOME NOME1 (CITTA)"
    static QString addressLine(const archive::AddressRecord& record);

    // The whole file. progress gets the 1-based number of each address line written.
    static QByteArray compose(const QString& header, const QDate& date, const QString& description,
                              archive::AddressSource& source,
                              const std::function<void(qint64)>& progress = {});

    // Writes the whole file or nothing (an existing file is replaced only on success).
    // Throws common::AppError with a message ready to show.
    static void write(const QString& path, const QByteArray& content);
};

} // namespace velomar::printing
