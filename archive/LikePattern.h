#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace velomar::archive {

// A LIKE pattern with the wildcards users of the program know: * and % for any run of
// characters, ? and _ for one character, # for one digit, [abc], [a-z] and [!a-z] for
// one character of (or not of) a set; inside brackets every character is literal, so
// [*] matches a star. Letters match without regard to case or accent.
class LikePattern {
public:
    LikePattern() = default;
    // Throws FilterError for an unclosed bracket.
    static LikePattern compile(QStringView pattern);
    bool matches(QStringView text) const;

    // The text as a pattern that matches exactly that text (wildcards bracketed).
    static QString escape(QStringView text);

private:
    struct Token {
        enum Kind : quint8 { Char, One, Many, Digit, Set };
        Kind kind = Char;
        bool negate = false;
        quint32 weight = 0;
        std::vector<std::pair<char16_t, char16_t>> ranges; // folded, for Set
    };
    bool tokenMatches(const Token& token, char16_t c) const;

    std::vector<Token> m_tokens;
};

} // namespace velomar::archive
