#include "archive/DateStamp.h"

#include "archive/ArchiveFile.h"
#include "archive/Database.h"
#include "archive/Statement.h"

#include <QLocale>

namespace velomar::archive {

namespace {

QString column(DateStamp::Kind kind) {
    return kind == DateStamp::Kind::Creazione ? QStringLiteral("CREAZIONE") : QStringLiteral("DATADEF");
}

std::optional<QDate> parseDate(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    const QString text = value.toString().trimmed();
    for (const auto& format : {QStringLiteral("yyyy-MM-dd"), QStringLiteral("dd/MM/yyyy")}) {
        const QDate day = QDate::fromString(text.left(10), format);
        if (day.isValid())
            return day;
    }
    return std::nullopt;
}

} // namespace

DateStamp::Kind DateStamp::kindOf(const QString& text) {
    if (text == QLatin1String("Creazione"))
        return Kind::Creazione;
    if (text == QLatin1String("Defrag"))
        return Kind::Defrag;
    return Kind::Other;
}

void DateStamp::stamp(Database& db, Kind kind, const QDate& day) {
    if (kind == Kind::Other)
        return;
    Statement st(db, QStringLiteral("UPDATE TabDEFRAG SET %1 = ?").arg(column(kind)));
    st.bindText(1, day.toString(Qt::ISODate)).exec();
}

std::optional<QDate> DateStamp::read(Database& db, Kind kind) {
    if (kind == Kind::Other)
        return std::nullopt;
    Statement st(db, QStringLiteral("SELECT %1 FROM TabDEFRAG LIMIT 1").arg(column(kind)));
    if (!st.step())
        return std::nullopt;
    return parseDate(st.value(0));
}

void DateStamp::stampByPath(const QString& path, Kind kind, Database* openDb) {
    if (openDb) {
        stamp(*openDb, kind);
        return;
    }
    Database own = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
    stamp(own, kind);
}

std::optional<QDate> DateStamp::readByPath(const QString& path, Kind kind, Database* openDb) {
    if (openDb)
        return read(*openDb, kind);
    Database own = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadOnly);
    return read(own, kind);
}

QString DateStamp::text(const std::optional<QDate>& day) {
    if (!day)
        return zeroDateText();
    return QLocale(QLocale::Italian, QLocale::Italy).toString(*day, QStringLiteral("dd/MM/yyyy"));
}

} // namespace velomar::archive
