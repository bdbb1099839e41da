#include "archive/SampleArchive.h"

#include "archive/ArchiveFormat.h"
#include "archive/Database.h"
#include "archive/DatabaseError.h"
#include "archive/DateStamp.h"
#include "archive/SampleData.h"
#include "archive/Statement.h"
#include "archive/Transaction.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QVariant>

#include <sqlite3.h>

namespace velomar::archive {

namespace {

// SplitMix64: small, fast and the same on every platform, unlike std distributions.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % std::uint64_t(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> const T& pick(std::span<const T> items) { return items[std::size_t(below(int(items.size())))]; }

private:
    std::uint64_t m_state;
};

QString u(const char* text) { return QString::fromUtf8(text); }

// Text of an e-mail local part: lower case, no accents, no blanks or apostrophes.
QString mailPart(const QString& text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D).toLower())
        if (c.isLetterOrNumber() && c.unicode() < 128)
            out += c;
    return out;
}

QString digits(Random& rnd, int n) {
    QString out;
    for (int i = 0; i < n; ++i)
        out += QChar(u'0' + rnd.below(10));
    return out;
}

// Empty fields are mostly Null, as a database leaves them, sometimes "".
QVariant emptyField(Random& rnd) { return rnd.chance(80) ? QVariant() : QVariant(QStringLiteral("")); }

QByteArray saltOf(std::uint64_t seed) {
    Random rnd(seed ^ 0x5A17ULL);
    QByteArray salt;
    for (int i = 0; i < 2; ++i) {
        const std::uint64_t v = rnd.next();
        salt.append(reinterpret_cast<const char*>(&v), sizeof v);
    }
    return salt;
}

QString tempPathFor(const QString& path) { return path + QStringLiteral(".tmp-sample"); }

void commitFile(const QString& temp, const QString& path) {
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        throw DatabaseError(SQLITE_CANTOPEN, QStringLiteral("impossibile scrivere %1").arg(path));
    }
}

void requireAbsent(const QString& path) {
    if (QFileInfo::exists(path))
        throw DatabaseError(SQLITE_CANTOPEN, QStringLiteral("Il file %1 già esiste.").arg(path));
}

} // namespace

void SampleArchive::write(const QString& path, qint64 count, std::uint64_t seed) {
    requireAbsent(path);
    const QString temp = tempPathFor(path);
    QFile::remove(temp);
    try {
        ArchiveFormat::createEmpty(temp, ArchiveKind::Addresses, saltOf(seed));
        Database db(temp, Database::Mode::ReadWrite);
        db.exec(QStringLiteral("PRAGMA synchronous = OFF"));
        Random rnd(seed);
        Transaction tx(db);
        DateStamp::stamp(db, DateStamp::Kind::Creazione, QDate(2020, 1, 1).addDays(qint64(seed % 1500)));
        Statement ins(db, QStringLiteral(
            "INSERT INTO TabMAIL (TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, CITTA, PROV, NAZ, "
            "NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, APPUNTI, SERV) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (qint64 i = 0; i < count; ++i) {
            QVariant f[17];
            const QString surname = u(rnd.pick(sample::surnames()));
            const int kind = rnd.below(100); // 0..79 people, 80..99 companies and offices
            QString mailName;
            if (kind < 80) {
                const bool female = rnd.chance(50);
                const QString name = u(rnd.pick(female ? sample::femaleNames() : sample::maleNames()));
                f[1] = rnd.chance(85) ? QVariant(u(rnd.pick(female ? sample::femaleTitles() : sample::maleTitles())))
                                      : emptyField(rnd);
                f[2] = rnd.chance(3) ? QVariant(surname.toUpper()) : QVariant(surname);
                f[3] = name;
                f[4] = rnd.chance(15) ? QVariant(u(rnd.pick(sample::roles()))) : emptyField(rnd);
                mailName = mailPart(name) + QLatin1Char('.') + mailPart(surname);
            } else {
                const QString town = u(rnd.pick(sample::towns()).name);
                static const char* const companies[] = {
                    "Tipografia %1 S.r.l.", "%1 & Figli S.n.c.", "Studio Legale %1", "Farmacia %1",
                    "Ditta %1 S.p.A.", "Istituto Comprensivo \"G. %1\"", "Associazione Culturale \"L'Incontro\"",
                    "Parrocchia di San Giorgio", "Comune di %2", "Pro Loco di %2", "Biblioteca Civica di %2"};
                const QString company = u(companies[rnd.below(11)]).replace(QLatin1String("%1"), surname)
                                            .replace(QLatin1String("%2"), town.left(1) + town.mid(1).toLower());
                f[1] = rnd.chance(70) ? QVariant(QStringLiteral("Spett.le")) : emptyField(rnd);
                f[2] = company;
                f[3] = emptyField(rnd);
                f[4] = rnd.chance(60) ? QVariant(QStringLiteral("Alla c.a. ") + u(rnd.pick(sample::roles())))
                                      : emptyField(rnd);
                mailName = QStringLiteral("info");
            }
            QString domain = u(rnd.pick(sample::mailDomains()));
            if (rnd.chance(10)) {
                const auto& t = rnd.pick(sample::foreignTowns());
                f[5] = u(t.street);
                f[6] = u(t.postalCode);
                f[7] = u(t.name);
                f[8] = emptyField(rnd);
                f[9] = u(t.country);
                f[10] = QStringLiteral("+%1 %2 %3").arg(30 + rnd.below(20)).arg(digits(rnd, 3), digits(rnd, 6));
            } else {
                const auto& t = rnd.pick(sample::towns());
                f[5] = QStringLiteral("%1 %2, %3").arg(u(rnd.pick(sample::streetKinds())),
                                                       u(rnd.pick(sample::streetNames())))
                           .arg(1 + rnd.below(rnd.chance(90) ? 120 : 400));
                if (rnd.chance(5))
                    f[5] = f[5].toString() + QLatin1Char('/') + QChar(u'A' + rnd.below(4));
                f[6] = QStringLiteral("%1").arg(t.capFirst + rnd.below(t.capCount), 5, 10, QLatin1Char('0'));
                f[7] = u(t.name);
                f[8] = u(t.prov);
                f[9] = rnd.chance(4) ? QVariant(QStringLiteral("I")) : emptyField(rnd);
                f[10] = rnd.chance(70) ? QVariant(QStringLiteral("0%1 %2").arg(digits(rnd, 1 + rnd.below(3)), digits(rnd, 6 + rnd.below(2))))
                                       : emptyField(rnd);
            }
            f[11] = rnd.chance(12) ? QVariant(QStringLiteral("0%1 %2").arg(digits(rnd, 2), digits(rnd, 6))) : emptyField(rnd);
            f[12] = rnd.chance(55) ? QVariant(QStringLiteral("3%1 %2").arg(digits(rnd, 2), digits(rnd, 7))) : emptyField(rnd);
            f[13] = rnd.chance(45) ? QVariant(mailName + QLatin1Char('@') + domain) : emptyField(rnd);
            f[14] = rnd.chance(88) ? QVariant(u(rnd.pick(sample::groups()).code)) : emptyField(rnd);
            f[15] = rnd.chance(10) ? QVariant(u(rnd.pick(sample::notes()))) : emptyField(rnd);
            f[16] = rnd.chance(4) ? QVariant(u(rnd.pick(sample::memos()))) : emptyField(rnd);
            for (int c = 1; c < 17; ++c)
                ins.bind(c, f[c]);
            ins.bindInt(17, 0);
            ins.exec();
            ins.reset();
        }
        tx.commit();
        db.close();
        commitFile(temp, path);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
}

void SampleArchive::writeGroups(const QString& path, std::uint64_t seed) {
    requireAbsent(path);
    const QString temp = tempPathFor(path);
    QFile::remove(temp);
    try {
        ArchiveFormat::createEmpty(temp, ArchiveKind::Groups, saltOf(seed + 1));
        Database db(temp, Database::Mode::ReadWrite);
        Transaction tx(db);
        DateStamp::stamp(db, DateStamp::Kind::Creazione, QDate(2020, 1, 1).addDays(qint64(seed % 1500)));
        Statement ins(db, QStringLiteral("INSERT INTO TabGRUPPI (GRUPPO, DESCRIZIONE) VALUES (?, ?)"));
        for (const auto& g : sample::groups()) {
            ins.bindText(1, u(g.code)).bindText(2, u(g.description)).exec();
            ins.reset();
        }
        tx.commit();
        db.close();
        commitFile(temp, path);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
}

} // namespace velomar::archive
