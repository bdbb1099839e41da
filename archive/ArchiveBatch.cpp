#include "archive/ArchiveBatch.h"

#include "archive/ArchiveFile.h"
#include "archive/DatabaseError.h"
#include "archive/SampleArchive.h"
#include "archive/Statement.h"

#include <QTextStream>

namespace velomar::archive {

namespace {

const char* const kRefused = "Archivio non riconosciuto o corrotto !";

} // namespace

int batchSample(const QStringList& args, QTextStream& out, QTextStream& err) {
    qint64 count = -1;
    std::uint64_t seed = 1;
    QString output;
    QString groups;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        bool ok = true;
        if (a == QLatin1String("--count") && i + 1 < args.size())
            count = args[++i].toLongLong(&ok);
        else if (a == QLatin1String("--seed") && i + 1 < args.size())
            seed = args[++i].toULongLong(&ok);
        else if (a == QLatin1String("--groups") && i + 1 < args.size())
            groups = args[++i];
        else if (!a.startsWith(QLatin1String("--")) && output.isEmpty())
            output = a;
        else
            ok = false;
        if (!ok) {
            err << "Argomento non valido: " << a << "\n";
            return 2;
        }
    }
    if (count < 0 || output.isEmpty()) {
        err << "Uso: velomar-batch sample --count N [--seed S] [--groups GRUPPI.grp] OUT.mdb\n";
        return 2;
    }
    try {
        SampleArchive::write(output, count, seed);
        if (!groups.isEmpty())
            SampleArchive::writeGroups(groups, seed);
    } catch (const DatabaseError& e) {
        err << e.description() << "\n";
        return 1;
    }
    out << "Creato " << output << " con " << count << " indirizzi.\n";
    return 0;
}

int batchCount(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 1) {
        err << "Uso: velomar-batch count ARCHIVIO.mdb\n";
        return 2;
    }
    try {
        Database db = ArchiveFile::open(args[0], ArchiveKind::Addresses, ArchiveFile::Access::ReadOnly);
        // Reads every row as the open command's count does, so damage shows here too.
        Statement st(db, QStringLiteral("SELECT NR FROM TabMAIL"));
        qint64 count = 0;
        while (st.step())
            ++count;
        out << count << "\n";
        return 0;
    } catch (const DatabaseError&) {
        err << kRefused << "\n";
        return 1;
    }
}

} // namespace velomar::archive
