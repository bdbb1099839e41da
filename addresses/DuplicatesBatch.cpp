#include "addresses/DuplicatesBatch.h"

#include "addresses/DuplicateFinder.h"
#include "addresses/NotDuplicates.h"
#include "archive/ArchiveFile.h"
#include "archive/FailureText.h"
#include "archive/Statement.h"
#include "common/CommandArgs.h"
#include "common/UsageError.h"

#include <QTextStream>

namespace velomar::addresses {

namespace {

QString joinedText(const QString& a, const QString& b) {
    return (a.trimmed() + u' ' + b.trimmed()).trimmed();
}

} // namespace

int batchDuplicates(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    double minScore = DuplicateFinder::DefaultMinScore;
    if (const auto text = args.value(QStringLiteral("min-score"))) {
        bool ok = false;
        minScore = QString(*text).replace(u',', u'.').toDouble(&ok);
        if (!ok || minScore <= 0 || minScore > 1)
            throw common::UsageError(QStringLiteral("--min-score richiede un numero maggiore di 0 e fino a 1."));
    }
    const QString path = args.argument(0);
    try {
        archive::Database db =
            archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses, archive::ArchiveFile::Access::ReadOnly);
        DuplicateFinder finder;
        finder.addArchive(db);
        finder.setKeptApart(NotDuplicates::read(db));
        const std::vector<DuplicateGroup> groups = finder.groups(minScore);
        archive::Statement st(db, QStringLiteral("SELECT COGNOME, NOME1, INDIRIZZO, CAP, CITTA FROM TabMAIL WHERE NR = ?"));
        int number = 0;
        for (const DuplicateGroup& g : groups) {
            ++number;
            for (const qint64 nr : g.nrs) {
                st.bindInt(1, nr);
                if (st.step())
                    out << number << '\t' << QString::number(g.score, 'f', 2) << '\t' << nr << '\t'
                        << joinedText(st.text(0), st.text(1)) << '\t' << st.text(2).trimmed() << '\t'
                        << joinedText(st.text(3), st.text(4)) << '\n';
                st.reset();
            }
        }
        return 0;
    } catch (const std::exception& e) {
        err << archive::FailureText::of(e, path) << "\n";
        return 1;
    }
}

} // namespace velomar::addresses
