#include "printing/ReminderFile.h"

#include "archive/AddressRecord.h"
#include "common/AppError.h"
#include "common/Cp1252.h"
#include "common/DialogService.h"
#include "common/OutputGuard.h"
#include "common/SystemErrorText.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace velomar::printing {

namespace {
const QByteArray kCrLf("\r\n");
constexpr int kPathFileAccessError = 75;

QString prompt() {
    return QStringLiteral("Inserire il Nome del File (senza ext) \r\nper il Promemoria:");
}
} // namespace

QString ReminderFile::proposedName(const QDateTime& now) {
    return now.toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss"));
}

std::optional<QString> ReminderFile::nameProblem(const QString& name) {
    const QString refused = QStringLiteral("Nome del File non valido !\r\n");
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.contains(QLatin1String("..")))
        return refused + QStringLiteral("Il nome non può contenere percorsi (/ \\ ..).");
    static const QRegularExpression badChars(QStringLiteral(R"([<>:"|?*\x00-\x1F])"));
    if (name.contains(badChars))
        return refused + QStringLiteral("Il nome non può contenere i caratteri < > : \" | ? *.");
    static const QRegularExpression reserved(QStringLiteral(R"(^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])$)"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (name.trimmed().isEmpty() || name.startsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char('.')) ||
        name.contains(reserved))
        return refused + QStringLiteral("Il nome è riservato dal sistema.");
    return std::nullopt;
}

std::optional<QString> ReminderFile::askPath(common::DialogService& dialogs, const QString& folder,
                                             const QString& title,
                                             const std::function<QDateTime()>& now) {
    for (;;) {
        const auto answer = dialogs.inputBox(prompt(), title, proposedName(now()));
        if (!answer || answer->trimmed().isEmpty())
            return std::nullopt;
        const QString name = answer->trimmed();
        if (const auto problem = nameProblem(name)) {
            dialogs.message(*problem, common::MsgIcon::Exclamation);
            continue;
        }
        const QString path = QDir(folder).filePath(name + QStringLiteral(".txt"));
        if (const auto refused = common::OutputGuard::problem(path, {.refuseLink = true})) {
            dialogs.message(*refused, common::MsgIcon::Exclamation);
            continue;
        }
        if (QFileInfo::exists(path) &&
            dialogs.message(QStringLiteral("File esistente. Sovrascriverlo ?"), common::MsgIcon::Question,
                            common::MsgButtons::YesNo) != common::MsgResult::Yes)
            continue;
        return path;
    }
}

QString ReminderFile::addressLine(const archive::AddressRecord& r) {
    const QString nr = r[0].left(5).leftJustified(5, QLatin1Char(' '));
    return nr + QStringLiteral(" - ") + r[2] + QLatin1Char(' ') + r[3] + QStringLiteral(" (") + r[7] +
           QLatin1Char(')');
}

QByteArray ReminderFile::compose(const QString& header, const QDate& date, const QString& description,
                                 archive::AddressSource& source,
                                 const std::function<void(qint64)>& progress) {
    QByteArray out;
    const auto line = [&out](const QString& text) {
        out += common::Cp1252::encode(text);
        out += kCrLf;
    };
    line(header + date.toString(QStringLiteral("dd/MM/yyyy")));
    if (!description.isEmpty())
        line(QStringLiteral("Descrizione: ") + description);
    line(QStringLiteral("%1 indirizzi").arg(source.count()));
    line(QString(70, QLatin1Char('=')));
    archive::AddressRecord record;
    qint64 n = 0;
    while (source.next(record)) {
        line(addressLine(record));
        if (progress)
            progress(++n);
    }
    return out;
}

void ReminderFile::write(const QString& path, const QByteArray& content) {
    common::OutputGuard::check(path, {.refuseLink = true});
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.flush() ||
        !file.commit()) {
        throw common::AppError(kPathFileAccessError,
                               QStringLiteral("Impossibile scrivere il File Promemoria\r\n%1\r\n%2")
                                   .arg(QDir::toNativeSeparators(path), common::SystemErrorText::ofFile(file)));
    }
}

} // namespace velomar::printing
