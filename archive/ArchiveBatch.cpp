#include "archive/ArchiveBatch.h"

#include "archive/ArchiveOpener.h"
#include "archive/Database.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "common/AppState.h"
#include "common/DialogService.h"

#include <QFileInfo>
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
    if (args.size() != 1) {
        err << "Uso: velomar-batch count ARCHIVIO.mdb\n";
        return 2;
    }
    // The open command's own count: mode "Main", read-only, every NR read.
    common::AppState state;
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

} // namespace velomar::archive
