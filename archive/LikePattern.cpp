#include "archive/LikePattern.h"

#include "archive/FilterError.h"
#include "archive/ItalianCollation.h"

namespace velomar::archive {

LikePattern LikePattern::compile(QStringView pattern) {
    LikePattern result;
    auto& tokens = result.m_tokens;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i].unicode();
        Token t;
        t.kind = Token::Char;
        switch (c) {
        case u'*':
        case u'%':
            if (!tokens.empty() && tokens.back().kind == Token::Many)
                continue; // "**" is the same as "*"
            t.kind = Token::Many;
            break;
        case u'?':
        case u'_':
            t.kind = Token::One;
            break;
        case u'#':
            t.kind = Token::Digit;
            break;
        case u'[': {
            qsizetype j = i + 1;
            t.kind = Token::Set;
            if (j < pattern.size() && pattern[j] == u'!' && j + 1 < pattern.size() &&
                pattern[j + 1] != u']') {
                t.negate = true;
                ++j;
            }
            const qsizetype first = j;
            // A ']' right after '[' (or "[!") is taken literally, so "[]]" matches ']'.
            while (j < pattern.size() && (pattern[j] != u']' || j == first))
                ++j;
            if (j >= pattern.size())
                throw FilterError(QStringLiteral("Parentesi quadra non chiusa nel modello '%1'.")
                                      .arg(pattern.toString()));
            for (qsizetype k = first; k < j; ++k) {
                const char16_t lo = ItalianCollation::fold(pattern[k].unicode());
                if (k + 2 < j && pattern[k + 1] == u'-') {
                    char16_t hi = ItalianCollation::fold(pattern[k + 2].unicode());
                    t.ranges.emplace_back(std::min(lo, hi), std::max(lo, hi));
                    k += 2;
                } else {
                    t.ranges.emplace_back(lo, lo);
                }
            }
            i = j;
            break;
        }
        default:
            t.weight = ItalianCollation::weight(c);
            break;
        }
        tokens.push_back(std::move(t));
    }
    return result;
}

bool LikePattern::tokenMatches(const Token& token, char16_t c) const {
    switch (token.kind) {
    case Token::Char:
        return ItalianCollation::weight(c) == token.weight;
    case Token::One:
        return true;
    case Token::Digit:
        return c >= u'0' && c <= u'9';
    case Token::Set: {
        const char16_t f = ItalianCollation::fold(c);
        bool in = false;
        for (const auto& [lo, hi] : token.ranges)
            if (f >= lo && f <= hi) {
                in = true;
                break;
            }
        return in != token.negate;
    }
    case Token::Many:
        break;
    }
    return false;
}

bool LikePattern::matches(QStringView text) const {
    const std::size_t m = m_tokens.size();
    const qsizetype n = text.size();
    std::size_t p = 0;
    qsizetype t = 0;
    std::size_t starP = std::size_t(-1);
    qsizetype starT = 0;
    // Greedy match with backtracking to the last '*': linear for the usual *WORD* form.
    while (t < n) {
        if (p < m && m_tokens[p].kind == Token::Many) {
            starP = p++;
            starT = t;
        } else if (p < m && tokenMatches(m_tokens[p], text[t].unicode())) {
            ++p;
            ++t;
        } else if (starP != std::size_t(-1)) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < m && m_tokens[p].kind == Token::Many)
        ++p;
    return p == m;
}

QString LikePattern::escape(QStringView text) {
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'*':
        case u'%':
        case u'?':
        case u'_':
        case u'#':
        case u'[':
            out += u'[';
            out += c;
            out += u']';
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace velomar::archive
