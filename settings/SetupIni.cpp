#include "settings/SetupIni.h"

#include "common/Cp1252.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace velomar::settings {

namespace {

// Failure numbers of the program's file routines, so the messages read as before.
constexpr int kFileNotFound = 53;
constexpr int kPermissionDenied = 70;
constexpr int kPathFileAccess = 75;
constexpr int kDeviceIo = 57;

// Enough for 12 lines of any sensible length; the rest of a huge file is ignored.
constexpr qint64 kMaxBytes = 64 * 1024;

QString storableText(QString text) {
    text.replace(QLatin1Char('"'), QLatin1Char('\''));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.left(SetupIni::MaxLineLength);
}

int numberFor(QFileDevice::FileError error, const QString& path) {
    if (!QFileInfo::exists(path))
        return kFileNotFound;
    switch (error) {
    case QFileDevice::PermissionsError:
        return kPermissionDenied;
    case QFileDevice::ReadError:
    case QFileDevice::WriteError:
        return kDeviceIo;
    default:
        return kPathFileAccess;
    }
}

QString describe(int number) {
    switch (number) {
    case kFileNotFound:
        return QStringLiteral("File non trovato");
    case kPermissionDenied:
        return QStringLiteral("Autorizzazione negata");
    case kDeviceIo:
        return QStringLiteral("Errore di I/O della periferica");
    default:
        return QStringLiteral("Errore di accesso al percorso/file");
    }
}

QString standardText(int number, const QString& description) {
    return QStringLiteral("Errore ") + QString::number(number) + QStringLiteral("\r\n") +
           description;
}

} // namespace

QString SetupIni::ReadResult::errorText() const {
    return standardText(errorNumber, errorDescription);
}

QString SetupIni::WriteResult::errorText() const {
    return standardText(errorNumber, errorDescription);
}

QString SetupIni::parseRecord(const QByteArray& line) {
    QString text = common::Cp1252::decode(line);
    // Control characters (NUL, stray CR, ...) never belong to an address line.
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text)
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
            clean.append(c);
    clean = clean.trimmed();
    if (clean.startsWith(QLatin1Char('"'))) {
        const qsizetype close = clean.indexOf(QLatin1Char('"'), 1);
        clean = close < 0 ? clean.mid(1) : clean.mid(1, close - 1);
    }
    return clean.left(MaxLineLength);
}

bool SetupIni::isStorable(const QString& line) {
    if (line.contains(QLatin1Char('"')) || line.contains(QLatin1Char('\r')) ||
        line.contains(QLatin1Char('\n')))
        return false;
    qsizetype replaced = 0;
    common::Cp1252::encode(line, &replaced);
    return replaced == 0;
}

SetupIni::ReadResult SetupIni::read(const QString& path) {
    ReadResult result;
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        result.ok = false;
        result.errorNumber = QFileInfo(path).isDir() ? kPathFileAccess
                                                     : numberFor(file.error(), path);
        result.errorDescription = describe(result.errorNumber);
        return result;
    }
    const QByteArray bytes = file.read(kMaxBytes);
    // One record per line; CR LF, LF or a lone CR all end a line.
    QList<QByteArray> lines;
    QByteArray current;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '\n' || c == '\r') {
            lines.append(current);
            current.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
                ++i;
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        lines.append(current);
    for (int r = 0; r < RecordCount && r < lines.size(); ++r) {
        auto& target = r < 6 ? result.senders.sender1 : result.senders.sender2;
        target[size_t(r % 6)] = parseRecord(lines.at(r));
    }
    return result;
}

SetupIni::WriteResult SetupIni::write(const QString& path, const SenderLines& senders) {
    WriteResult result;
    QByteArray bytes;
    for (int r = 0; r < RecordCount; ++r) {
        const auto& source = r < 6 ? senders.sender1 : senders.sender2;
        bytes += '"';
        bytes += common::Cp1252::encode(storableText(source[size_t(r % 6)]));
        bytes += "\"\r\n";
    }
    // A read-only file is made writable first, as the record layout is ours to replace.
    if (QFileInfo(path).isFile() && !QFileInfo(path).isWritable())
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        result.ok = false;
        result.errorNumber = numberFor(file.error(), QFileInfo(path).absolutePath());
        if (result.errorNumber == kFileNotFound)
            result.errorNumber = kPathFileAccess;
        result.errorDescription = describe(result.errorNumber);
    }
    return result;
}

} // namespace velomar::settings
