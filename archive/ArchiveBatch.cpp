#include "archive/ArchiveBatch.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveOpener.h"
#include "archive/Compactor.h"
#include "archive/Database.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "common/CommandArgs.h"
#include "common/UsageError.h"
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

int batchSample(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    bool ok = true;
    const qint64 count = args.value(QStringLiteral("count"), {}).toLongLong(&ok);
    if (!ok || count < 0)
        throw common::UsageError(QStringLiteral("--count richiede un numero di indirizzi da 0 in su."));
    const std::uint64_t seed = args.value(QStringLiteral("seed"), QStringLiteral("1")).toULongLong(&ok);
    if (!ok)
        throw common::UsageError(QStringLiteral("--seed richiede un numero intero da 0 in su."));
    const QString output = args.argument(0);
    const QString groups = args.value(QStringLiteral("groups"), {});
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

int batchCount(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    // The open command's own count: mode "Main", read-only, every NR read.
    settings::AppState state;
    state.callerMode = QStringLiteral("Main");
    StreamDialogs dialogs(err);
    ArchiveOpener opener(state, dialogs);
    Database db;
    Recordset rs;
    if (!opener.open(db, rs, args.argument(0), false))
        return 1;
    out << rs.recordCount() << "\n";
    return 0;
}

int batchCompact(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    const QString& path = args.argument(0);
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
