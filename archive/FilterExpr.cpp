#include "archive/FilterExpr.h"

#include "archive/FilterError.h"
#include "archive/ItalianCollation.h"
#include "archive/LikePattern.h"

#include <cmath>
#include <optional>
#include <vector>

namespace velomar::archive {

namespace {

enum class Tri : quint8 { False, True, Unknown };

Tri operator!(Tri t) {
    return t == Tri::Unknown ? Tri::Unknown : (t == Tri::True ? Tri::False : Tri::True);
}

enum class Op { Eq, Ne, Lt, Le, Gt, Ge };

Op flip(Op op) {
    switch (op) {
    case Op::Lt: return Op::Gt;
    case Op::Le: return Op::Ge;
    case Op::Gt: return Op::Lt;
    case Op::Ge: return Op::Le;
    default: return op;
    }
}

bool holds(Op op, int c) {
    switch (op) {
    case Op::Eq: return c == 0;
    case Op::Ne: return c != 0;
    case Op::Lt: return c < 0;
    case Op::Le: return c <= 0;
    case Op::Gt: return c > 0;
    case Op::Ge: return c >= 0;
    }
    return false;
}

std::optional<double> toNumber(QStringView text) {
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (ok && std::isfinite(d))
        return d;
    return std::nullopt;
}

template <typename T> int cmp3(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

} // namespace

struct FilterExpr::Node {
    enum class Kind { And, Or, Not, Compare, Like, IsNull, Const };
    struct Operand {
        int field = -1; // -1: constant
        FieldValue::Type type = FieldValue::Type::Null;
        qint64 integer = 0;
        double real = 0;
        QString text;

        FieldValue value(const FieldReader& reader, qint64 row) const {
            if (field >= 0)
                return reader.read(row, field);
            FieldValue v;
            v.type = type;
            v.integer = integer;
            v.real = real;
            v.text = text;
            return v;
        }
    };

    Kind kind = Kind::Const;
    std::shared_ptr<const Node> left, right;
    Op op = Op::Eq;
    bool negate = false;
    bool prefixStar = false; // right operand is a text ending in '*' in a range comparison
    Operand a, b;
    std::optional<LikePattern> pattern; // compiled when the pattern is a constant
    Tri constant = Tri::True;

    Tri eval(const FieldReader& reader, qint64 row) const;
};

namespace {

using Node = FilterExpr::Node;

Tri compareValues(Op op, const FieldValue& x, const FieldValue& y, bool prefixStar) {
    using T = FieldValue::Type;
    if (x.type == T::Null || y.type == T::Null)
        return Tri::Unknown;
    if (x.type == T::Text && y.type == T::Text) {
        if (prefixStar && op != Op::Eq && op != Op::Ne) {
            const int c = ItalianCollation::comparePrimary(x.text, y.text);
            const bool le = c < 0 || ItalianCollation::startsWithPrimary(x.text, y.text);
            switch (op) {
            case Op::Lt: return c < 0 ? Tri::True : Tri::False;
            case Op::Ge: return c >= 0 ? Tri::True : Tri::False;
            case Op::Le: return le ? Tri::True : Tri::False;
            case Op::Gt: return le ? Tri::False : Tri::True;
            default: break;
            }
        }
        return holds(op, ItalianCollation::comparePrimary(x.text, y.text)) ? Tri::True : Tri::False;
    }
    if (x.type == T::Integer && y.type == T::Integer)
        return holds(op, cmp3(x.integer, y.integer)) ? Tri::True : Tri::False;
    auto number = [](const FieldValue& v) -> std::optional<double> {
        switch (v.type) {
        case T::Integer: return double(v.integer);
        case T::Real: return v.real;
        case T::Text: return toNumber(v.text);
        default: return std::nullopt;
        }
    };
    const auto nx = number(x), ny = number(y);
    if (!nx || !ny)
        return Tri::Unknown; // a text that is no number never equals a number
    return holds(op, cmp3(*nx, *ny)) ? Tri::True : Tri::False;
}

QString asText(const FieldValue& v) {
    switch (v.type) {
    case FieldValue::Type::Integer: return QString::number(v.integer);
    case FieldValue::Type::Real: return QString::number(v.real);
    default: return v.text.toString();
    }
}

} // namespace

Tri FilterExpr::Node::eval(const FieldReader& reader, qint64 row) const {
    switch (kind) {
    case Kind::And: {
        const Tri l = left->eval(reader, row);
        if (l == Tri::False)
            return Tri::False;
        const Tri r = right->eval(reader, row);
        if (r == Tri::False)
            return Tri::False;
        return (l == Tri::True && r == Tri::True) ? Tri::True : Tri::Unknown;
    }
    case Kind::Or: {
        const Tri l = left->eval(reader, row);
        if (l == Tri::True)
            return Tri::True;
        const Tri r = right->eval(reader, row);
        if (r == Tri::True)
            return Tri::True;
        return (l == Tri::False && r == Tri::False) ? Tri::False : Tri::Unknown;
    }
    case Kind::Not:
        return !left->eval(reader, row);
    case Kind::Compare:
        return compareValues(op, a.value(reader, row), b.value(reader, row), prefixStar);
    case Kind::Like: {
        const FieldValue v = a.value(reader, row);
        if (v.type == FieldValue::Type::Null)
            return Tri::Unknown;
        bool hit;
        const QString numberText = v.type == FieldValue::Type::Text ? QString() : asText(v);
        const QStringView text = v.type == FieldValue::Type::Text ? v.text : QStringView(numberText);
        if (pattern) {
            hit = pattern->matches(text);
        } else {
            const FieldValue p = b.value(reader, row);
            if (p.type == FieldValue::Type::Null)
                return Tri::Unknown;
            try {
                hit = LikePattern::compile(asText(p)).matches(text);
            } catch (const FilterError&) {
                return Tri::Unknown; // a malformed pattern stored in a field matches nothing
            }
        }
        return hit != negate ? Tri::True : Tri::False;
    }
    case Kind::IsNull: {
        const bool isNull = a.value(reader, row).type == FieldValue::Type::Null;
        return isNull != negate ? Tri::True : Tri::False;
    }
    case Kind::Const:
        return constant;
    }
    return Tri::Unknown;
}

namespace {

struct Token {
    enum Kind { Ident, String, Number, Op, LParen, RParen, Comma, End };
    Kind kind = End;
    QString text;
    qsizetype pos = 0;
};

class Parser {
public:
    Parser(const QString& text, const FilterExpr::FieldResolver& resolver)
        : m_text(text), m_resolver(resolver) {
        tokenize();
    }

    std::shared_ptr<const Node> parseAll() {
        auto root = parseOr();
        if (peek().kind != Token::End)
            fail(QStringLiteral("testo inatteso '%1'").arg(peek().text));
        return root;
    }

private:
    [[noreturn]] void fail(const QString& detail) const {
        throw FilterError(QStringLiteral("Criterio non valido: %1\n(%2)").arg(m_text, detail));
    }

    void tokenize() {
        const QString& s = m_text;
        qsizetype i = 0;
        while (i < s.size()) {
            const QChar c = s[i];
            if (c.isSpace()) {
                ++i;
                continue;
            }
            Token t;
            t.pos = i;
            if (c == u'\'' || c == u'"' || c == u'#') {
                // #...# is a date in the program's dialect; kept as text.
                const QChar q = c;
                ++i;
                QString value;
                for (;;) {
                    if (i >= s.size())
                        fail(QStringLiteral("testo non chiuso"));
                    if (s[i] == q) {
                        if (q != u'#' && i + 1 < s.size() && s[i + 1] == q) {
                            value += q;
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    value += s[i++];
                }
                t.kind = Token::String;
                t.text = value;
            } else if (c.isDigit() || (c == u'.' && i + 1 < s.size() && s[i + 1].isDigit())) {
                const qsizetype start = i;
                while (i < s.size() && (s[i].isDigit() || s[i] == u'.'))
                    ++i;
                t.kind = Token::Number;
                t.text = s.mid(start, i - start);
            } else if (c.isLetter() || c == u'_') {
                const qsizetype start = i;
                while (i < s.size() && (s[i].isLetterOrNumber() || s[i] == u'_'))
                    ++i;
                t.kind = Token::Ident;
                t.text = s.mid(start, i - start);
            } else if (c == u'[') {
                const qsizetype close = s.indexOf(u']', i + 1);
                if (close < 0)
                    fail(QStringLiteral("nome di campo non chiuso"));
                t.kind = Token::Ident;
                t.text = s.mid(i + 1, close - i - 1);
                t.pos = -1 - i; // bracketed: never a keyword
                i = close + 1;
            } else if (c == u'(' || c == u')' || c == u',') {
                t.kind = c == u'(' ? Token::LParen : (c == u')' ? Token::RParen : Token::Comma);
                t.text = c;
                ++i;
            } else if (c == u'=' || c == u'<' || c == u'>' || c == u'!') {
                QString op = c;
                if (i + 1 < s.size() && (s[i + 1] == u'=' || (c == u'<' && s[i + 1] == u'>')))
                    op += s[i + 1];
                if (op == QLatin1String("!"))
                    fail(QStringLiteral("carattere inatteso '!'"));
                i += op.size();
                t.kind = Token::Op;
                t.text = op;
            } else if (c == u'-' || c == u'+') {
                // A sign belongs to the number that follows.
                qsizetype j = i + 1;
                while (j < s.size() && s[j].isSpace())
                    ++j;
                if (j >= s.size() || !(s[j].isDigit() || s[j] == u'.'))
                    fail(QStringLiteral("carattere inatteso '%1'").arg(c));
                const qsizetype start = j;
                while (j < s.size() && (s[j].isDigit() || s[j] == u'.'))
                    ++j;
                t.kind = Token::Number;
                t.text = (c == u'-' ? QStringLiteral("-") : QString()) + s.mid(start, j - start);
                i = j;
            } else {
                fail(QStringLiteral("carattere inatteso '%1'").arg(c));
            }
            m_tokens.push_back(std::move(t));
        }
        Token end;
        end.pos = s.size();
        m_tokens.push_back(end);
    }

    const Token& peek() const { return m_tokens[m_pos]; }
    Token take() { return m_tokens[m_pos < m_tokens.size() - 1 ? m_pos++ : m_pos]; }

    bool isKeyword(const Token& t, const char* word) const {
        return t.kind == Token::Ident && t.pos >= 0 && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool acceptKeyword(const char* word) {
        if (isKeyword(peek(), word)) {
            ++m_pos;
            return true;
        }
        return false;
    }

    std::shared_ptr<const Node> binary(Node::Kind kind, std::shared_ptr<const Node> l,
                                       std::shared_ptr<const Node> r) {
        auto n = std::make_shared<Node>();
        n->kind = kind;
        n->left = std::move(l);
        n->right = std::move(r);
        return n;
    }

    std::shared_ptr<const Node> parseOr() {
        auto l = parseAnd();
        while (acceptKeyword("OR"))
            l = binary(Node::Kind::Or, l, parseAnd());
        return l;
    }
    std::shared_ptr<const Node> parseAnd() {
        auto l = parseNot();
        while (acceptKeyword("AND"))
            l = binary(Node::Kind::And, l, parseNot());
        return l;
    }
    std::shared_ptr<const Node> parseNot() {
        if (acceptKeyword("NOT")) {
            auto n = std::make_shared<Node>();
            n->kind = Node::Kind::Not;
            n->left = parseNot();
            return n;
        }
        if (peek().kind == Token::LParen) {
            ++m_pos;
            auto inner = parseOr();
            if (take().kind != Token::RParen)
                fail(QStringLiteral("parentesi non chiusa"));
            return inner;
        }
        return parseTest();
    }

    Node::Operand parseOperand() {
        const Token t = take();
        Node::Operand o;
        switch (t.kind) {
        case Token::String:
            o.type = FieldValue::Type::Text;
            o.text = t.text;
            return o;
        case Token::Number: {
            bool ok = false;
            const qint64 i = t.text.toLongLong(&ok);
            if (ok) {
                o.type = FieldValue::Type::Integer;
                o.integer = i;
            } else {
                o.real = t.text.toDouble(&ok);
                if (!ok)
                    fail(QStringLiteral("numero non valido '%1'").arg(t.text));
                o.type = FieldValue::Type::Real;
            }
            o.text = t.text;
            return o;
        }
        case Token::Ident: {
            if (isKeyword(t, "NULL"))
                return o; // constant Null
            if (t.pos >= 0) {
                for (const char* kw : {"AND", "OR", "NOT", "LIKE", "IS", "IN"})
                    if (isKeyword(t, kw))
                        fail(QStringLiteral("atteso un campo o un valore invece di '%1'").arg(t.text));
            }
            const int field = m_resolver ? m_resolver(t.text) : -1;
            if (field < 0)
                fail(QStringLiteral("campo sconosciuto '%1'").arg(t.text));
            o.field = field;
            return o;
        }
        case Token::End:
            fail(QStringLiteral("criterio incompleto"));
        default:
            fail(QStringLiteral("atteso un campo o un valore invece di '%1'").arg(t.text));
        }
    }

    std::shared_ptr<const Node> parseTest() {
        Node::Operand a = parseOperand();
        auto n = std::make_shared<Node>();
        if (acceptKeyword("IS")) {
            n->kind = Node::Kind::IsNull;
            n->negate = acceptKeyword("NOT");
            if (!acceptKeyword("NULL"))
                fail(QStringLiteral("atteso NULL dopo IS"));
            n->a = std::move(a);
            return n;
        }
        const bool negate = acceptKeyword("NOT");
        if (acceptKeyword("LIKE")) {
            n->kind = Node::Kind::Like;
            n->negate = negate;
            n->a = std::move(a);
            n->b = parseOperand();
            if (n->b.field < 0) {
                if (n->b.type == FieldValue::Type::Null) {
                    n->kind = Node::Kind::Const;
                    n->constant = Tri::Unknown;
                } else {
                    n->pattern = LikePattern::compile(n->b.text);
                }
            }
            return n;
        }
        if (acceptKeyword("IN")) {
            if (take().kind != Token::LParen)
                fail(QStringLiteral("atteso '(' dopo IN"));
            std::shared_ptr<const Node> any;
            for (;;) {
                auto eq = std::make_shared<Node>();
                eq->kind = Node::Kind::Compare;
                eq->op = Op::Eq;
                eq->a = a;
                eq->b = parseOperand();
                any = any ? binary(Node::Kind::Or, any, eq) : eq;
                const Token sep = take();
                if (sep.kind == Token::RParen)
                    break;
                if (sep.kind != Token::Comma)
                    fail(QStringLiteral("atteso ',' o ')' nella lista di IN"));
            }
            if (!negate)
                return any;
            n->kind = Node::Kind::Not;
            n->left = any;
            return n;
        }
        if (negate)
            fail(QStringLiteral("atteso LIKE o IN dopo NOT"));
        const Token opTok = take();
        if (opTok.kind != Token::Op)
            fail(opTok.kind == Token::End ? QStringLiteral("manca l'operatore di confronto")
                                          : QStringLiteral("atteso un operatore invece di '%1'").arg(opTok.text));
        Op op;
        if (opTok.text == QLatin1String("="))
            op = Op::Eq;
        else if (opTok.text == QLatin1String("<>") || opTok.text == QLatin1String("!="))
            op = Op::Ne;
        else if (opTok.text == QLatin1String("<"))
            op = Op::Lt;
        else if (opTok.text == QLatin1String("<="))
            op = Op::Le;
        else if (opTok.text == QLatin1String(">"))
            op = Op::Gt;
        else if (opTok.text == QLatin1String(">="))
            op = Op::Ge;
        else
            fail(QStringLiteral("operatore sconosciuto '%1'").arg(opTok.text));
        Node::Operand b = parseOperand();
        if (a.field < 0 && b.field >= 0) { // 'X' = FIELD: keep the field on the left
            std::swap(a, b);
            op = flip(op);
        }
        n->kind = Node::Kind::Compare;
        n->op = op;
        if (b.field < 0 && b.type == FieldValue::Type::Text && b.text.endsWith(u'*') &&
            op != Op::Eq && op != Op::Ne) {
            n->prefixStar = true;
            while (b.text.endsWith(u'*'))
                b.text.chop(1);
        }
        n->a = std::move(a);
        n->b = std::move(b);
        return n;
    }

    const QString& m_text;
    const FilterExpr::FieldResolver& m_resolver;
    std::vector<Token> m_tokens;
    std::size_t m_pos = 0;
};

} // namespace

FilterExpr::FilterExpr() = default;
FilterExpr::~FilterExpr() = default;
FilterExpr::FilterExpr(const FilterExpr&) = default;
FilterExpr& FilterExpr::operator=(const FilterExpr&) = default;
FilterExpr::FilterExpr(FilterExpr&&) noexcept = default;
FilterExpr& FilterExpr::operator=(FilterExpr&&) noexcept = default;

FilterExpr FilterExpr::parse(const QString& text, const FieldResolver& resolver) {
    FilterExpr expr;
    if (text.trimmed().isEmpty())
        return expr;
    Parser parser(text, resolver);
    expr.m_root = parser.parseAll();
    return expr;
}

bool FilterExpr::isEmpty() const { return !m_root; }

bool FilterExpr::matches(const FieldReader& reader, qint64 row) const {
    return !m_root || m_root->eval(reader, row) == Tri::True;
}

int FilterExpr::equalityField() const {
    if (m_root && m_root->kind == Node::Kind::Compare && m_root->op == Op::Eq && m_root->a.field >= 0 &&
        m_root->b.field < 0)
        return m_root->a.field;
    return -1;
}

FieldValue FilterExpr::equalityValue() const {
    if (equalityField() < 0)
        return {};
    const Node::Operand& b = m_root->b;
    FieldValue v;
    v.type = b.type;
    v.integer = b.integer;
    v.real = b.real;
    v.text = b.text;
    return v;
}

QString FilterExpr::quote(const QString& text) {
    QString doubled = text;
    doubled.replace(u'\'', QStringLiteral("''"));
    return u'\'' + doubled + u'\'';
}

QString FilterExpr::likeLiteral(const QString& text) {
    QString escaped = LikePattern::escape(text);
    escaped.replace(u'\'', QStringLiteral("''"));
    return escaped;
}

} // namespace velomar::archive
