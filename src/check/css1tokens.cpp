#include "check/css1tokens.h"

#include "text/csschars.h"
#include "text/csslexer.h"

#include <algorithm>
#include <initializer_list>

namespace sheetsmith {

using namespace css1;

namespace {

bool isLengthUnit(QStringView unit)
{
    for (const char *u : {"em", "ex", "px", "in", "cm", "mm", "pt", "pc"}) {
        if (equalsFolded(unit, u))
            return true;
    }
    return false;
}

class Css1Tokens
{
public:
    Css1Tokens(QStringView s, Tokens &tokens, QList<ValueFault> &faults)
        : m_s(s), m_lexer(s), m_tokens(tokens), m_faults(faults)
    {
    }

    bool run()
    {
        while (!m_lexer.atEnd())
            take(m_lexer.next());
        return !m_bad;
    }

private:
    void push(TokenKind kind) { m_tokens.push_back(Token{kind}); }

    void take(const CssToken &t)
    {
        switch (t.type) {
        case CssTokenType::Whitespace:
        case CssTokenType::Comment:
            return;
        case CssTokenType::Number:
        case CssTokenType::Percentage:
        case CssTokenType::Dimension:
            number(t);
            return;
        case CssTokenType::Hash: {
            const QStringView digits = m_s.sliced(t.offset + 1, t.length - 1);
            const bool hex = (digits.size() == 3 || digits.size() == 6)
                             && std::all_of(digits.begin(), digits.end(), csschars::isHexDigit);
            if (!hex)
                m_faults.push_back(ValueFault{ValueFault::BadHexColour, t.offset, t.length});
            push(TokenKind::Hash);
            return;
        }
        case CssTokenType::Delim:
            if (m_s[t.offset] == u'/') {
                push(TokenKind::Slash);
            } else if (m_s[t.offset] == u'#') {
                // A "#" with no digits at all.
                m_faults.push_back(ValueFault{ValueFault::BadHexColour, t.offset, 1});
                push(TokenKind::Hash);
            } else {
                m_bad = true;
            }
            return;
        case CssTokenType::Comma:
            push(TokenKind::Comma);
            return;
        case CssTokenType::String:
            if (t.unclosed)
                m_bad = true;
            else
                push(TokenKind::String);
            return;
        case CssTokenType::Url:
            if (t.unclosed || CssTokenValue(m_s, t).isEmpty())
                m_bad = true;
            else
                push(TokenKind::Url);
            return;
        case CssTokenType::Ident: {
            // A CSS1 identifier starts with a letter, a character past ASCII or an escape.
            const QChar first = m_s[t.offset];
            if (first == u'-' || first == u'_') {
                m_bad = true;
                return;
            }
            Token token;
            token.keyword = t.escaped ? Css1Keyword(CssTokenValue(m_s, t))
                                      : Css1Keyword(m_s.sliced(t.offset, t.length));
            m_tokens.push_back(token);
            return;
        }
        case CssTokenType::Function:
            function(t);
            return;
        default:
            m_bad = true;
            return;
        }
    }

    void number(const CssToken &t)
    {
        Token token;
        token.zero = t.number == 0;
        token.negative = t.number < 0;
        if (t.type == CssTokenType::Percentage) {
            token.kind = TokenKind::Percentage;
        } else if (t.type == CssTokenType::Dimension) {
            token.kind = TokenKind::Dimension;
            token.lengthUnit = isLengthUnit(CssTokenUnit(m_s, t));
        } else {
            token.kind = TokenKind::Number;
            const QStringView digits = m_s.sliced(t.offset, t.length);
            token.weight = t.integer && !t.sign && digits.size() == 3 && digits[0] >= u'1' && digits[0] <= u'9'
                           && digits[1] == u'0' && digits[2] == u'0';
        }
        // CSS level 1 numbers have no exponent.
        const qsizetype digits = t.type == CssTokenType::Dimension ? t.unitOffset
                                 : t.type == CssTokenType::Percentage ? t.length - 1
                                                                      : t.length;
        if (!t.integer && m_s.sliced(t.offset, digits).contains(u'e', Qt::CaseInsensitive))
            m_bad = true;
        m_tokens.push_back(token);
    }

    // The next token other than blanks and comments.
    CssToken significant()
    {
        CssToken t = m_lexer.next();
        while (!m_lexer.atEnd() && (t.type == CssTokenType::Whitespace || t.type == CssTokenType::Comment))
            t = m_lexer.next();
        return t;
    }

    // Past the ")" that closes a function whose name has been read; answers where the
    // function ends (the end of the value when it is never closed).
    qsizetype skipArguments()
    {
        int depth = 1;
        while (!m_lexer.atEnd()) {
            const CssToken t = m_lexer.next();
            if (t.type == CssTokenType::Function || t.type == CssTokenType::OpenParen)
                ++depth;
            else if (t.type == CssTokenType::CloseParen && --depth == 0)
                return t.end();
        }
        return m_s.size();
    }

    void function(const CssToken &name)
    {
        if (CssTokenIs(m_s, name, "url")) {
            // url( and a quoted address (an unquoted one is a url token).
            const CssToken address = significant();
            const CssToken close = address.type == CssTokenType::String ? significant() : address;
            if (address.type == CssTokenType::String && !address.unclosed && close.type == CssTokenType::CloseParen) {
                push(TokenKind::Url);
                return;
            }
            m_bad = true;
            if (close.type != CssTokenType::CloseParen)
                skipArguments();
            return;
        }
        if (CssTokenIs(m_s, name, "rgb")) {
            rgb(name);
            return;
        }
        m_bad = true;
        skipArguments();
    }

    // rgb(): three integers or three percentages, each with an optional sign, separated
    // by commas, blanks allowed around them. Anything else is a fault over the whole
    // function, up to the end of the value when it is not closed.
    void rgb(const CssToken &name)
    {
        int count = 0;
        bool integers = true;
        bool percentages = true;
        bool ok = true;
        qsizetype end = -1;
        for (;;) {
            const CssToken t = significant();
            if (t.type == CssTokenType::Number || t.type == CssTokenType::Percentage) {
                ++count;
                integers = integers && t.type == CssTokenType::Number && t.integer;
                percentages = percentages && t.type == CssTokenType::Percentage;
            } else {
                ok = false;
                if (t.type == CssTokenType::CloseParen)
                    end = t.end();
                else if (t.type == CssTokenType::Function || t.type == CssTokenType::OpenParen)
                    skipArguments(); // what it holds; the rest of rgb() is skipped below
                break;
            }
            const CssToken after = significant();
            if (after.type == CssTokenType::CloseParen) {
                end = after.end();
                break;
            }
            if (after.type != CssTokenType::Comma) {
                ok = false;
                end = after.type == CssTokenType::Whitespace && m_lexer.atEnd() ? m_s.size() : -1;
                break;
            }
        }
        if (end < 0)
            end = skipArguments();
        if (!ok || count != 3 || !(integers || percentages))
            m_faults.push_back(ValueFault{ValueFault::BadRgb, name.offset, end - name.offset});
        push(TokenKind::Rgb);
    }

    QStringView m_s;
    CssLexer m_lexer;
    Tokens &m_tokens;
    QList<ValueFault> &m_faults;
    bool m_bad = false;
};

} // namespace

bool ReadCss1Tokens(QStringView s, Tokens &tokens, QList<ValueFault> &faults)
{
    return Css1Tokens(s, tokens, faults).run();
}

} // namespace sheetsmith
