// Build step: writes the data files of the program folder from the committed schema
// (data/schema/*.sql, compiled into the core) and the country list (data/countries.csv).
//   velomar_mktemplates OUTDIR countries.csv
#include "archive/ArchiveFormat.h"
#include "archive/Database.h"
#include "archive/DatabaseError.h"
#include "archive/Statement.h"
#include "archive/Transaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cstdio>

using namespace velomar::archive;

namespace {

// One CSV record: commas separate, double quotes enclose, "" is a quote.
QStringList parseCsvLine(const QString& line) {
    QStringList fields;
    QString current;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
                current += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << current;
            current.clear();
        } else {
            current += c;
        }
    }
    fields << current;
    return fields;
}

void build(const QString& target, ArchiveKind kind, const QString& csvPath) {
    const QString temp = target + QStringLiteral(".tmp");
    QFile::remove(temp);
    ArchiveFormat::createEmpty(temp, kind);
    if (kind == ArchiveKind::Countries) {
        QFile csv(csvPath);
        if (!csv.open(QIODevice::ReadOnly | QIODevice::Text))
            throw DatabaseError(1, QStringLiteral("cannot read ") + csvPath);
        Database db(temp, Database::Mode::ReadWrite);
        Transaction tx(db);
        Statement ins(db, QStringLiteral("INSERT INTO TabStatiEst (Sigla, Nazione) VALUES (?, ?)"));
        QTextStream in(&csv);
        bool header = true;
        while (!in.atEnd()) {
            const QString line = in.readLine();
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            if (header) {
                header = false;
                continue;
            }
            const QStringList f = parseCsvLine(line);
            if (f.size() != 2)
                throw DatabaseError(1, QStringLiteral("bad line in countries.csv: ") + line);
            ins.bindText(1, f[0]).bindText(2, f[1]).exec();
            ins.reset();
        }
        tx.commit();
    }
    QFile::remove(target);
    if (!QFile::rename(temp, target))
        throw DatabaseError(1, QStringLiteral("cannot write ") + target);
    // Templates are copied, never written in place.
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: velomar_mktemplates OUTDIR countries.csv\n");
        return 2;
    }
    const QDir out(args[1]);
    try {
        build(out.filePath(QStringLiteral("NewMail.sys")), ArchiveKind::Addresses, {});
        build(out.filePath(QStringLiteral("NewGruppi.sys")), ArchiveKind::Groups, {});
        build(out.filePath(QStringLiteral("StatiEsteri.mdb")), ArchiveKind::Countries, args[2]);
    } catch (const DatabaseError& e) {
        std::fprintf(stderr, "velomar_mktemplates: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
