#pragma once

#include "archive/Statement.h"

#include <QString>
#include <QVariantList>

namespace velomar::archive {

class Database;

// Runs the program's SQL texts on SQLite. The dialect differs in a few places:
//  - "DELETE * FROM T ..." becomes "DELETE FROM T ...";
//  - "..." is a text literal (turned into '...');
//  - LIKE ignores case and accents and knows * ? # [..] besides % and _ (the LIKE
//    operator itself is replaced on the connection, so "GR LIKE ?" keeps this meaning);
//  - GROUP BY and ORDER BY compare texts as the program does (collation JET_TEXT).
// User values are never pasted: pass them as '?' parameters.
class SqlTranslator {
public:
    static QString translate(const QString& sql);

    // Registers LIKE, jet_like(value, pattern) and the collation JET_TEXT on the
    // connection. Harmless to repeat.
    static void install(Database& db);

    // install + translate + prepare + bind; throws DatabaseError (also when the number of
    // parameters does not match the placeholders).
    static Statement prepare(Database& db, const QString& sql, const QVariantList& params = {});
    // Runs a statement without result rows; returns the number of rows changed.
    static int exec(Database& db, const QString& sql, const QVariantList& params = {});
};

} // namespace velomar::archive
