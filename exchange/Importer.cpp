#include "exchange/Importer.h"

#include "archive/DatabaseError.h"
#include "archive/LikePattern.h"
#include "archive/Statement.h"
#include "archive/Transaction.h"
#include "exchange/ExchangeError.h"
#include "exchange/FileIdentity.h"

#include <sqlite3.h>

#include <memory>

namespace velomar::exchange {

namespace {

const char* const kCopiedFields = "TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, CITTA, PROV, "
                                  "NAZ, NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, APPUNTI";
constexpr int kCopiedCount = 16;
constexpr int kGrColumn = 1 + 13; // NR, then GR is the 14th copied field

qint64 countRows(archive::Database& db) {
    archive::Statement st(db, QStringLiteral("SELECT COUNT(*) FROM TabMAIL"));
    return st.step() ? st.integer(0) : 0;
}

} // namespace

Importer::Importer(archive::Database& target, const QString& targetPath)
    : m_target(target), m_targetPath(targetPath) {}

bool Importer::isTargetArchive(const QString& path) const {
    return path == m_targetPath || sameFile(path, m_targetPath);
}

Importer::GroupMatcher Importer::matcherFor(const QString& group) {
    if (group == QLatin1String(AllGroups))
        return {};
    // LIKE as the program knows it; a Null group never matches a pattern.
    auto pattern = std::make_shared<archive::LikePattern>(archive::LikePattern::compile(group));
    return [pattern](const QString& gr) { return !gr.isNull() && pattern->matches(gr); };
}

void Importer::openSource(const QString& path, const QString& group, const Opener& opener) {
    closeSource();
    if (isTargetArchive(path))
        throw ExchangeError(ExchangeError::SameArchive,
                            QStringLiteral("Impossibile importare i Dati dall'Archivio attuale !"));
    m_matcher = matcherFor(group);
    m_group = group;
    m_source = opener(path);
}

void Importer::closeSource() {
    m_source.close();
    m_copied.clear();
}

qint64 Importer::sourceCount() {
    if (!m_matcher)
        return countRows(m_source);
    archive::Statement st(m_source, QStringLiteral("SELECT GR FROM TabMAIL"));
    qint64 n = 0;
    while (st.step())
        n += m_matcher(st.text(0)) ? 1 : 0;
    return n;
}

qint64 Importer::copy(const Progress& progress) {
    m_copied.clear();
    std::vector<qint64> copied;
    const qint64 total = sourceCount();
    if (progress)
        progress(0, total);

    // A read transaction keeps the source still while it is walked.
    archive::Transaction read(m_source, archive::Transaction::Kind::Deferred);
    archive::Transaction write(m_target);
    const qint64 before = countRows(m_target);

    QString placeholders;
    for (int i = 0; i < kCopiedCount; ++i)
        placeholders += i ? QStringLiteral(", ?") : QStringLiteral("?");
    archive::Statement insert(m_target, QStringLiteral("INSERT INTO TabMAIL (%1) VALUES (%2)")
                                            .arg(QLatin1String(kCopiedFields), placeholders));
    archive::Statement select(m_source, QStringLiteral("SELECT NR, %1 FROM TabMAIL ORDER BY NR")
                                            .arg(QLatin1String(kCopiedFields)));
    while (select.step()) {
        if (m_matcher && !m_matcher(select.text(kGrColumn)))
            continue;
        for (int i = 0; i < kCopiedCount; ++i) {
            // Text stays text and Null stays Null; a value of another type is kept as is.
            if (select.isNull(i + 1))
                insert.bindNull(i + 1);
            else if (select.columnType(i + 1) == SQLITE_TEXT)
                insert.bindText(i + 1, select.text(i + 1));
            else
                insert.bind(i + 1, select.value(i + 1));
        }
        insert.exec();
        insert.reset();
        copied.push_back(select.integer(0));
        if (progress && copied.size() % 1000 == 0)
            progress(qint64(copied.size()), total);
    }

    const qint64 added = countRows(m_target) - before;
    if (added != qint64(copied.size()))
        throw ExchangeError(ExchangeError::WriteFailed,
                            QStringLiteral("Copiati %1 indirizzi, ma l'archivio ne ha ricevuti %2.")
                                .arg(copied.size())
                                .arg(added));
    write.commit();
    read.commit();
    m_copied = std::move(copied);
    if (progress)
        progress(copiedCount(), total);
    return copiedCount();
}

qint64 Importer::deleteCopiedFromSource() {
    archive::Transaction tx(m_source);
    archive::Statement del(m_source, QStringLiteral("DELETE FROM TabMAIL WHERE NR = ?"));
    qint64 deleted = 0;
    for (qint64 nr : m_copied) {
        del.bindInt(1, nr);
        del.exec();
        deleted += m_source.changes();
        del.reset();
    }
    tx.commit();
    m_copied.clear();
    return deleted;
}

} // namespace velomar::exchange
