#include "archive/SqlTranslator.h"

#include "archive/Database.h"
#include "archive/DatabaseError.h"
#include "archive/FilterError.h"
#include "archive/ItalianCollation.h"
#include "archive/LikePattern.h"

#include <sqlite3.h>
#include <vector>

namespace velomar::archive {

namespace {

struct Tok {
    enum Kind { Space, Word, Str, Quoted, Other };
    Kind kind;
    QString text;
};

std::vector<Tok> tokenize(const QString& s) {
    std::vector<Tok> out;
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        const qsizetype start = i;
        if (c.isSpace()) {
            while (i < s.size() && s[i].isSpace())
                ++i;
            out.push_back({Tok::Space, s.mid(start, i - start)});
        } else if (c.isLetter() || c == u'_') {
            while (i < s.size() && (s[i].isLetterOrNumber() || s[i] == u'_' || s[i] == u'$'))
                ++i;
            out.push_back({Tok::Word, s.mid(start, i - start)});
        } else if (c == u'\'' || c == u'"') {
            // Both quote kinds are text literals in the program's dialect.
            QString value;
            ++i;
            while (i < s.size()) {
                if (s[i] == c) {
                    if (i + 1 < s.size() && s[i + 1] == c) {
                        value += c;
                        i += 2;
                        continue;
                    }
                    break;
                }
                value += s[i++];
            }
            if (i >= s.size())
                throw DatabaseError(SQLITE_ERROR, QStringLiteral("Testo non chiuso nell'istruzione SQL."));
            ++i;
            out.push_back({Tok::Str, value});
        } else if (c == u'[') {
            const qsizetype close = s.indexOf(u']', i);
            i = close < 0 ? s.size() : close + 1;
            out.push_back({Tok::Quoted, s.mid(start, i - start)});
        } else {
            ++i;
            out.push_back({Tok::Other, QString(c)});
        }
    }
    return out;
}

bool is(const Tok& t, const char* word) {
    return t.kind == Tok::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

QString quoteLiteral(const QString& value) {
    QString v = value;
    v.replace(u'\'', QStringLiteral("''"));
    return u'\'' + v + u'\'';
}

QStringView argText(sqlite3_value* v) {
    const auto* data = static_cast<const QChar*>(sqlite3_value_text16(v));
    const int bytes = sqlite3_value_bytes16(v);
    return data ? QStringView(data, bytes / 2) : QStringView();
}

void deletePattern(void* p) { delete static_cast<LikePattern*>(p); }

// like(pattern, value[, escape]) as SQLite calls it for "value LIKE pattern".
void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv, int patternArg, int valueArg) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    LikePattern local;
    const auto* pattern = static_cast<const LikePattern*>(sqlite3_get_auxdata(ctx, patternArg));
    if (!pattern) {
        QString text = argText(argv[patternArg]).toString();
        if (argc == 3) {
            const QStringView esc = argText(argv[2]);
            if (esc.size() != 1) {
                sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
                return;
            }
            QString rewritten;
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (text[i] == esc[0] && i + 1 < text.size()) {
                    rewritten += LikePattern::escape(QStringView(text).mid(++i, 1));
                } else {
                    rewritten += text[i];
                }
            }
            text = rewritten;
        }
        try {
            local = LikePattern::compile(text);
        } catch (const FilterError& e) {
            const QByteArray message = e.description().toUtf8();
            sqlite3_result_error(ctx, message.constData(), int(message.size()));
            return;
        }
        pattern = &local;
        sqlite3_set_auxdata(ctx, patternArg, new LikePattern(local), &deletePattern);
    }
    sqlite3_result_int(ctx, pattern->matches(argText(argv[valueArg])) ? 1 : 0);
}

void sqlLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) { likeFunction(ctx, argc, argv, 0, 1); }
void jetLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) { likeFunction(ctx, argc, argv, 1, 0); }

int jetCollation(void*, int bytesA, const void* a, int bytesB, const void* b) {
    return ItalianCollation::comparePrimary(QStringView(static_cast<const QChar*>(a), bytesA / 2),
                                            QStringView(static_cast<const QChar*>(b), bytesB / 2));
}

} // namespace

QString SqlTranslator::translate(const QString& sql) {
    std::vector<Tok> toks = tokenize(sql);
    QString out;
    out.reserve(sql.size() + 32);
    int depth = 0;
    bool inKeyList = false; // inside the terms of GROUP BY / ORDER BY at depth listDepth
    int listDepth = 0;
    bool termHasCollate = false;
    bool termHasContent = false;

    auto closeTerm = [&]() {
        if (inKeyList && termHasContent && !termHasCollate)
            out += QStringLiteral(" COLLATE JET_TEXT");
        termHasCollate = false;
        termHasContent = false;
    };
    auto nextSignificant = [&](std::size_t i) {
        for (std::size_t j = i + 1; j < toks.size(); ++j)
            if (toks[j].kind != Tok::Space)
                return j;
        return toks.size();
    };

    for (std::size_t i = 0; i < toks.size(); ++i) {
        const Tok& t = toks[i];
        if (t.kind == Tok::Space) {
            // Held back so that COLLATE follows the term directly.
            bool endsTerm = false;
            const std::size_t n = nextSignificant(i);
            if (inKeyList && depth == listDepth) {
                if (n >= toks.size())
                    endsTerm = true;
                else {
                    const Tok& nt = toks[n];
                    endsTerm = is(nt, "ASC") || is(nt, "DESC") || is(nt, "HAVING") || is(nt, "ORDER") ||
                               is(nt, "LIMIT") || is(nt, "UNION") ||
                               (nt.kind == Tok::Other && (nt.text == QLatin1String(",") ||
                                                          nt.text == QLatin1String(";") ||
                                                          nt.text == QLatin1String(")")));
                }
            }
            if (endsTerm)
                closeTerm();
            out += t.text;
            continue;
        }
        if (inKeyList && depth == listDepth) {
            if (is(t, "COLLATE"))
                termHasCollate = true;
            const bool terminator = is(t, "HAVING") || is(t, "ORDER") || is(t, "LIMIT") || is(t, "UNION") ||
                                    (t.kind == Tok::Other && (t.text == QLatin1String(";") ||
                                                              t.text == QLatin1String(")")));
            if (is(t, "ASC") || is(t, "DESC") || terminator ||
                (t.kind == Tok::Other && t.text == QLatin1String(","))) {
                closeTerm();
                if (terminator)
                    inKeyList = false;
            } else if (!is(t, "COLLATE")) {
                termHasContent = true;
            }
        }
        if (t.kind == Tok::Word && is(t, "DELETE")) {
            out += t.text;
            const std::size_t n = nextSignificant(i);
            if (n < toks.size() && toks[n].kind == Tok::Other && toks[n].text == QLatin1String("*"))
                i = n; // "DELETE * FROM" -> "DELETE FROM"
            continue;
        }
        if ((is(t, "GROUP") || is(t, "ORDER"))) {
            const std::size_t n = nextSignificant(i);
            if (n < toks.size() && is(toks[n], "BY")) {
                out += t.text;
                for (std::size_t k = i + 1; k <= n; ++k)
                    out += toks[k].text;
                i = n;
                inKeyList = true;
                listDepth = depth;
                termHasCollate = termHasContent = false;
                continue;
            }
        }
        if (t.kind == Tok::Other && t.text == QLatin1String("("))
            ++depth;
        else if (t.kind == Tok::Other && t.text == QLatin1String(")"))
            --depth;
        out += t.kind == Tok::Str ? quoteLiteral(t.text) : t.text;
    }
    closeTerm();
    return out;
}

void SqlTranslator::install(Database& db) {
    if (!db.isOpen())
        throw DatabaseError(SQLITE_MISUSE, QStringLiteral("database not open"));
    sqlite3* h = db.handle();
    const int flags = SQLITE_UTF16 | SQLITE_DETERMINISTIC;
    db.check(sqlite3_create_function_v2(h, "like", 2, flags, nullptr, &sqlLike, nullptr, nullptr, nullptr));
    db.check(sqlite3_create_function_v2(h, "like", 3, flags, nullptr, &sqlLike, nullptr, nullptr, nullptr));
    db.check(sqlite3_create_function_v2(h, "jet_like", 2, flags, nullptr, &jetLike, nullptr, nullptr, nullptr));
    db.check(sqlite3_create_collation_v2(h, "JET_TEXT", SQLITE_UTF16, nullptr, &jetCollation, nullptr));
}

Statement SqlTranslator::prepare(Database& db, const QString& sql, const QVariantList& params) {
    install(db);
    Statement st(db, translate(sql));
    const int expected = sqlite3_bind_parameter_count(st.handle());
    if (expected != params.size())
        throw DatabaseError(SQLITE_RANGE, QStringLiteral("L'istruzione attende %1 parametri, ricevuti %2.")
                                              .arg(expected)
                                              .arg(params.size()));
    for (int i = 0; i < params.size(); ++i)
        st.bind(i + 1, params[i]);
    return st;
}

int SqlTranslator::exec(Database& db, const QString& sql, const QVariantList& params) {
    Statement st = prepare(db, sql, params);
    st.exec();
    return db.changes();
}

} // namespace velomar::archive
