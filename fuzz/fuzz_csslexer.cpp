// Random text through the CSS tokenizer. The tokens must cover the text without gap or
// overlap, each at least one character long; lexing again from the end of any token
// must give the same tokens from there on, and so must lexing from CssSafeStart (the
// readers that start at a safe place rely on it), with the same spans; CssTokenIs must
// agree with CssTokenValue; and CssQuotedSpans must hold exactly the comments, strings
// and urls among the tokens.

#include "fuzzsupport.h"

#include "text/commentmarkers.h"
#include "text/csslexer.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace sheetsmith;
using namespace sheetsmith::fuzz;

namespace {

bool quoted(CssTokenType type)
{
    return type == CssTokenType::Comment || type == CssTokenType::String || type == CssTokenType::Url
           || type == CssTokenType::BadUrl;
}

bool isNewline(QChar c)
{
    return c == u'\n' || c == u'\r' || c == u'\f';
}

QString where(const QString &text, const CssToken &t)
{
    return QStringLiteral("token %1 at %2+%3 of %4").arg(int(t.type)).arg(t.offset).arg(t.length).arg(text);
}

void checkCover(const QString &text, const std::vector<CssToken> &tokens)
{
    qsizetype at = 0;
    for (const CssToken &t : tokens) {
        FUZZ_REQUIRE(t.offset == at && t.length > 0, where(text, t));
        at = t.end();
        // Only the quoted kinds can be left open, and only the end of the text leaves a
        // comment or url open; a string also ends before a line break.
        FUZZ_REQUIRE(!t.unclosed || quoted(t.type), where(text, t));
        if (t.unclosed && t.type != CssTokenType::String)
            FUZZ_REQUIRE(t.end() == text.size(), where(text, t));
        if (t.unclosed && t.type == CssTokenType::String)
            FUZZ_REQUIRE(t.end() == text.size() || isNewline(text[t.end()]), where(text, t));
        if (t.type == CssTokenType::Comment)
            FUZZ_REQUIRE(QStringView(text).sliced(t.offset).startsWith(u"/*"), where(text, t));
        if (t.type == CssTokenType::Number || t.type == CssTokenType::Percentage
            || t.type == CssTokenType::Dimension)
            FUZZ_REQUIRE(std::isfinite(t.number), where(text, t));
    }
    FUZZ_REQUIRE(at == text.size(), text);
}

void checkRestart(FuzzedDataProvider &input, const QString &text, const std::vector<CssToken> &tokens)
{
    if (tokens.empty())
        return;
    for (int round = 0; round < 4; ++round) {
        const size_t from = input.ConsumeIntegralInRange<size_t>(0, tokens.size() - 1);
        CssLexer lexer(text, tokens[from].end());
        for (size_t i = from + 1; i < tokens.size(); ++i) {
            const CssToken again = lexer.next();
            FUZZ_REQUIRE(again == tokens[i], QStringLiteral("from %1: ").arg(tokens[from].end()) + where(text, tokens[i]));
        }
        FUZZ_REQUIRE(lexer.atEnd(), text);
    }
}

// CssTokenIs with the token's own value folded to lower case (when it is ASCII), with
// one character more or less, and with a word from the input.
void checkTokenIs(FuzzedDataProvider &input, const QString &text, const std::vector<CssToken> &tokens)
{
    const std::string word = input.ConsumeRandomLengthString(8);
    for (const CssToken &t : tokens) {
        const QString value = CssTokenValue(text, t);
        std::string folded;
        bool ascii = true;
        for (const QChar c : value) {
            ascii = ascii && c.unicode() > 0 && c.unicode() < 0x80;
            folded += char(c.unicode() >= u'A' && c.unicode() <= u'Z' ? c.unicode() + 32 : c.unicode());
        }
        if (ascii) {
            FUZZ_REQUIRE(CssTokenIs(text, t, folded.c_str()), where(text, t));
            FUZZ_REQUIRE(!CssTokenIs(text, t, (folded + 'a').c_str()), where(text, t));
            if (!folded.empty())
                FUZZ_REQUIRE(!CssTokenIs(text, t, folded.substr(0, folded.size() - 1).c_str()), where(text, t));
        }
        std::string lower;
        for (const char c : word) {
            if (c >= 'a' && c <= 'z')
                lower += c;
        }
        const bool same = ascii && folded == lower;
        FUZZ_REQUIRE(CssTokenIs(text, t, lower.c_str()) == same, where(text, t) + QStringLiteral(" is ") + QString::fromStdString(lower));
        // A token without escapes reads as it is written.
        if (!t.escaped && t.type == CssTokenType::Ident)
            FUZZ_REQUIRE(value == QStringView(text).sliced(t.offset, t.length), where(text, t));
    }
}

void checkSpans(FuzzedDataProvider &input, const QString &text, const std::vector<CssToken> &tokens)
{
    const CssQuotedSpans spans(text);
    std::vector<CssQuotedSpans::Span> expected;
    for (const CssToken &t : tokens) {
        if (quoted(t.type))
            expected.push_back({t.offset, t.end(), t.type, t.unclosed});
    }
    FUZZ_REQUIRE(spans.spans().size() == expected.size(), text);
    for (size_t i = 0; i < expected.size(); ++i) {
        const CssQuotedSpans::Span &s = spans.spans()[i];
        const CssQuotedSpans::Span &e = expected[i];
        FUZZ_REQUIRE(s.from == e.from && s.to == e.to && s.type == e.type && s.unclosed == e.unclosed, text);
    }
    if (tokens.empty())
        return;
    for (int round = 0; round < 8; ++round) {
        const qsizetype offset = input.ConsumeIntegralInRange<qsizetype>(-1, text.size());
        const CssToken *holder = nullptr;
        for (const CssToken &t : tokens) {
            if (t.offset <= offset && offset < t.end())
                holder = &t;
        }
        const CssQuotedSpans::Span *span = spans.at(offset);
        const QString at = QStringLiteral("offset %1 of %2").arg(offset).arg(text);
        if (holder && quoted(holder->type))
            FUZZ_REQUIRE(span && span->from == holder->offset && span->to == holder->end(), at);
        else
            FUZZ_REQUIRE(!span, at);
        FUZZ_REQUIRE(spans.inComment(offset) == (holder && holder->type == CssTokenType::Comment), at);
    }
}

// A safe start read from: the tokens from there are those of the whole text, the
// first one cut short when the start falls inside blanks.
void checkSafeStart(FuzzedDataProvider &input, const QString &text, const std::vector<CssToken> &tokens)
{
    const CommentMarkerPositions markers = FindCommentMarkers(text);
    for (int round = 0; round < 4; ++round) {
        const qsizetype before = input.ConsumeIntegralInRange<qsizetype>(0, text.size());
        const qsizetype limit = input.ConsumeIntegralInRange<qsizetype>(-1, before);
        const qsizetype start = CssSafeStart(text, markers, before, limit);
        const QString at = QStringLiteral("start %1 before %2 limit %3 of %4").arg(start).arg(before).arg(limit).arg(text);
        FUZZ_REQUIRE(start <= before && (start >= std::max<qsizetype>(limit, 0) || start == -1), at);
        FUZZ_REQUIRE(start >= 0 || limit > 0, at);
        if (start < 0)
            continue;
        size_t i = 0;
        while (i < tokens.size() && tokens[i].end() <= start)
            ++i;
        CssLexer lexer(text, start);
        if (i < tokens.size() && tokens[i].offset < start) {
            FUZZ_REQUIRE(tokens[i].type == CssTokenType::Whitespace, at);
            const CssToken first = lexer.next();
            FUZZ_REQUIRE(first.type == CssTokenType::Whitespace && first.end() == tokens[i].end(), at);
            ++i;
        }
        for (; i < tokens.size(); ++i)
            FUZZ_REQUIRE(lexer.next() == tokens[i], at + QStringLiteral(": ") + where(text, tokens[i]));
        FUZZ_REQUIRE(lexer.atEnd(), at);

        // The spans read from there answer as those of the whole text, up to `to`.
        const qsizetype to = input.ConsumeIntegralInRange<qsizetype>(start, text.size());
        const CssQuotedSpans part(text, start, to);
        const CssQuotedSpans whole(text);
        for (qsizetype offset = start; offset < to; offset += 1 + (to - start) / 16) {
            const CssQuotedSpans::Span *s = part.at(offset);
            const CssQuotedSpans::Span *w = whole.at(offset);
            FUZZ_REQUIRE(!s == !w && (!s || (s->from == w->from && s->to == w->to)),
                         at + QStringLiteral(" to %1, offset %2").arg(to).arg(offset));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    // Most of the input is the text, as it is (lone CRs and form feeds too); the rest
    // picks where to lex again, offsets and a word.
    const QString text = consumeText(input, size * 3 / 4 + 1);
    const std::vector<CssToken> tokens = CssTokens(text);
    checkCover(text, tokens);
    checkRestart(input, text, tokens);
    checkTokenIs(input, text, tokens);
    checkSpans(input, text, tokens);
    checkSafeStart(input, text, tokens);
    return 0;
}
