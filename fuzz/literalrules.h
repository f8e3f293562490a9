#pragma once

// The comment rules of the editor read word for word: plain searches and character
// loops, none of the shortcuts the real code takes (marker indexes, views, one-pass
// building). Slow on purpose; the fuzz targets compare the real code against them.

#include <QString>

#include <algorithm>

namespace sheetsmith::fuzz::literal {

// The text with its comments removed: find "/*" from the resume position, then "*/"
// from the "/*" itself; cut the comment and resume where it began, or, when it is not
// closed, resume one past the "/*".
inline QString stripComments(QString t)
{
    qsizetype r = 1;
    for (;;) {
        const qsizetype c = t.indexOf(QStringLiteral("/*"), r - 1) + 1;
        if (c == 0)
            return t;
        const qsizetype d = t.indexOf(QStringLiteral("*/"), c - 1) + 1;
        if (d > 0) {
            t.remove(c - 1, d - c + 2);
            r = c;
        } else {
            r = c + 1;
        }
    }
}

// 1-based position of the last two-character marker lying wholly before the 1-based
// position b, found by stepping back one character at a time; 0 when there is none.
inline qsizetype lastMarkerBefore(const QString &text, qsizetype b, QChar first, QChar second)
{
    for (qsizetype c = std::min(b - 2, text.size() - 1); c >= 1; --c) {
        if (text[c - 1] == first && text[c] == second)
            return c;
    }
    return 0;
}

// Whether the brace at 1-based position b counts as commented out, given the 1-based
// start s of its line: the last "/*" before it is on its line and no "*/" follows it
// before the brace.
inline bool inComment(qsizetype b, qsizetype s, const QString &text)
{
    if (b <= 0)
        return false;
    const qsizetype c = lastMarkerBefore(text, b, u'/', u'*');
    if (c == 0)
        return false;
    const qsizetype d = lastMarkerBefore(text, b, u'*', u'/');
    return c >= s && d < c;
}

} // namespace sheetsmith::fuzz::literal
