#pragma once

#include <QString>
#include <QStringView>
#include <functional>
#include <memory>

namespace velomar::archive {

// One field value as a filter reads it. A text view stays valid while its row is unchanged.
struct FieldValue {
    enum class Type { Null, Integer, Real, Text };
    Type type = Type::Null;
    qint64 integer = 0;
    double real = 0;
    QStringView text;
};

class FieldReader {
public:
    virtual ~FieldReader() = default;
    virtual FieldValue read(qint64 row, int field) const = 0;
};

// A filter or find criterion in the program's syntax, parsed once and evaluated per row:
//   COGNOME LIKE '*ROSSI*'      GR = 'AB' OR GR = 'CD'       NOT (SERV = 1)
//   NR = '125'  NR = 125        CAP >= '0*' AND CAP <= '9*'  NOTE Is Null
// Operators = <> != < > <= >=, [NOT] LIKE, IS [NOT] NULL, IN (..), AND, OR, NOT, parentheses.
// Texts in '...' or "..." (a quote inside is doubled: 'O''Brien'), numbers, field names
// (case-insensitive, [in brackets] when needed). Text comparisons ignore case and accents;
// numeric fields compare numerically (a quoted number is read as a number); Null matches no
// comparison. In <, <=, >, >= a text ending in * stands for every text starting with what
// precedes it, so CAP <= '9*' takes every CAP starting with 9.
class FilterExpr {
public:
    using FieldResolver = std::function<int(const QString& name)>; // -1 when unknown

    FilterExpr(); // the empty criterion: every row matches
    ~FilterExpr();
    FilterExpr(const FilterExpr&);
    FilterExpr& operator=(const FilterExpr&);
    FilterExpr(FilterExpr&&) noexcept;
    FilterExpr& operator=(FilterExpr&&) noexcept;

    // Throws FilterError for a malformed text or an unknown field. Blank text: empty criterion.
    static FilterExpr parse(const QString& text, const FieldResolver& resolver);

    bool isEmpty() const;
    bool matches(const FieldReader& reader, qint64 row) const;

    // When the whole criterion is "field = constant", the field and constant; else field -1.
    int equalityField() const;
    FieldValue equalityValue() const;

    // 'text' as a quoted literal: quote("O'Brien") == "'O''Brien'".
    static QString quote(const QString& text);
    // The text ready to stand between the quotes of a LIKE pattern and match itself
    // literally: wildcards bracketed ([*] [?] [#] [[] [%] [_]) and quotes doubled. So
    // "COGNOME LIKE '*" + likeLiteral(word) + "*'" searches for exactly what was typed.
    static QString likeLiteral(const QString& text);

    struct Node;

private:
    std::shared_ptr<const Node> m_root;
};

} // namespace velomar::archive
