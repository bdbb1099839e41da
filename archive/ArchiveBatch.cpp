#include "archive/ArchiveBatch.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveOpener.h"
#include "archive/Compactor.h"
#include "archive/Database.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "settings/AppState.h"
#include "common/DialogService.h"

#include <QFileInfo>
#include <QLocale>
#include <QTextStream>

namespace velomar::archive {

namespace {

// Message boxes of a batch run are lines on stderr.
class StreamDialogs : public common::DialogService {
public:
    explicit StreamDialogs(QTextStream& err) : m_err(err) {}
    common::MsgResult message(const QString& text, common::MsgIcon, common::MsgButtons, const QString&,
                              common::MsgResult) override {
        m_err << text << "\n";
        return common::MsgResult::Ok;
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> openFile(const common::FileDialogOptions&) override { return {}; }
    std::optional<QString> saveFile(const common::FileDialogOptions&) override { return {}; }

private:
    QTextStream& m_err;
};

// An address archive, else a groups archive; a file that is neither is refused with
// the reason it is not an address archive.
ArchiveKind detectKind(const QString& path) {
    try {
        ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadOnly);
        return ArchiveKind::Addresses;
    } catch (const DatabaseError& e) {
        if (e.code() != DatabaseError::NotAnArchive)
            throw DatabaseError(e.code(), FailureText::of(e, path));
        try {
            ArchiveFile::open(path, ArchiveKind::Groups, ArchiveFile::Access::ReadOnly);
        } catch (const DatabaseError&) {
            throw DatabaseError(e.code(), FailureText::notAnArchive());
        }
        return ArchiveKind::Groups;
    }
}

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
    const bool existed = QFileInfo::exists(output);
    try {
        SampleArchive::write(output, count, seed);
        if (!groups.isEmpty())
            SampleArchive::writeGroups(groups, seed);
    } catch (const std::exception& e) {
        err << (existed ? QStringLiteral("Il file %1 esiste già.").arg(output) : FailureText::of(e, output)) << "\n";
        return 1;
    }
    out << "Creato " << output << " con " << count << " indirizzi.\n";
    return 0;
}

int batchCount(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 1 || args[0].startsWith(QLatin1String("--"))) {
        err << "Uso: velomar-batch count ARCHIVIO.mdb\n";
        return 2;
    }
    // The open command's own count: mode "Main", read-only, every NR read.
    settings::AppState state;
    state.callerMode = QStringLiteral("Main");
    StreamDialogs dialogs(err);
    ArchiveOpener opener(state, dialogs);
    Database db;
    Recordset rs;
    if (!opener.open(db, rs, args[0], false))
        return 1;
    out << rs.recordCount() << "\n";
    return 0;
}

int batchCompact(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 1 || args[0].startsWith(QLatin1String("--"))) {
        err << "Uso: velomar-batch compact ARCHIVIO.mdb|GRUPPI.grp\n";
        return 2;
    }
    const QString& path = args[0];
    ArchiveKind kind = ArchiveKind::Addresses;
    Compactor::Result r;
    try {
        kind = detectKind(path);
        r = Compactor::compact(path, kind);
    } catch (const common::AppError& e) {
        err << "Compattazione non riuscita: l'Archivio è rimasto com'era.\n" << e.description() << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << "Compattazione non riuscita: l'Archivio è rimasto com'era.\n" << QString::fromLocal8Bit(e.what()) << "\n";
        return 1;
    }
    const QLocale it(QLocale::Italian, QLocale::Italy);
    out << "Compattato " << QFileInfo(path).fileName() << " (" << it.toString(r.rows)
        << (kind == ArchiveKind::Groups ? " gruppi" : " indirizzi") << "): " << it.toString(r.bytesBefore)
        << " byte prima, " << it.toString(r.bytesAfter) << " byte dopo.\n";
    return 0;
}

} // namespace velomar::archive
