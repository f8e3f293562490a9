#pragma once

// The comment and scanning rules of the editor read word for word: plain searches and
// character loops, none of the shortcuts the real code takes (marker indexes, views,
// forward-moving pointers, one-pass building, per-line caches). Slow on purpose; the
// tests and the fuzz targets compare the real code against them. Header-only, so the
// fuzz targets can use it with their own build of the program.

#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace sheetsmith::literal {

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
// start s of its line: false for b = 0; else the last "/*" before it is on its line
// and no "*/" follows it before the brace.
inline bool inComment(qsizetype b, qsizetype s, const QString &text)
{
    if (b == 0)
        return false;
    const qsizetype c = lastMarkerBefore(text, b, u'/', u'*');
    if (c == 0)
        return false;
    const qsizetype d = lastMarkerBefore(text, b, u'*', u'/');
    return c >= s && d < c;
}

// The lines of a CR LF text and the 0-based offset of each line's start.
struct Lines
{
    explicit Lines(const QString &text) : texts(text.split(QStringLiteral("\r\n")))
    {
        qsizetype start = 0;
        for (const QString &line : texts) {
            starts.push_back(start);
            start += line.size() + 2;
        }
    }
    // 1-based line holding the 0-based character index i; past the end, the last line.
    int lineOfChar(qsizetype i) const
    {
        return int(std::upper_bound(starts.begin(), starts.end(), i) - starts.begin());
    }
    // 1-based position of the line's first character.
    qsizetype lineStart(int line) const { return starts[size_t(line - 1)] + 1; }

    QStringList texts;
    std::vector<qsizetype> starts;
};

// The kind rule: "ID" for any "#", else "Element" when the first comma-separated
// member occurs, ignoring case, in the names joined by ";", else "Class".
inline QString kind(const QString &sel, const QStringList &names)
{
    if (sel.contains(u'#'))
        return QStringLiteral("ID");
    const qsizetype comma = sel.indexOf(u',');
    const QString first = comma >= 0 ? sel.left(comma) : sel;
    if (names.join(QStringLiteral(";")).contains(first, Qt::CaseInsensitive))
        return QStringLiteral("Element");
    return QStringLiteral("Class");
}

// One block of the block list, as the scanner makes it.
struct Block
{
    QString id;
    QString kind;
    qsizetype begins = 0;
    qsizetype ends = 0;

    friend bool operator==(const Block &, const Block &) = default;
};

// The scanning rules step by step: each "{" searched from just after the previous one,
// its line, the comment test, the selector of the "{" line, the kind, and the first
// "}" from the "{" on.
inline std::vector<Block> scan(const QString &text, const QStringList &names)
{
    const Lines lines(text);
    std::vector<Block> out;
    qsizetype p = 0;
    for (;;) {
        p = text.indexOf(u'{', p) + 1; // 1-based position of the "{"; 0: none
        if (p == 0)
            return out;
        const int line = lines.lineOfChar(p);
        const qsizetype s = lines.lineStart(line);
        if (inComment(p, s, text))
            continue;

        QString sel = lines.texts[line - 1];
        sel.remove(u' ');
        sel = stripComments(sel);
        const qsizetype brace = sel.indexOf(u'{');
        if (brace >= 0)
            sel = sel.left(brace);

        Block block;
        block.id = sel;
        block.kind = kind(sel, names);
        block.begins = s - 1;

        const qsizetype e = text.indexOf(u'}', p - 1) + 1;
        if (e > 0) {
            const qsizetype s2 = lines.lineStart(lines.lineOfChar(e));
            block.ends = inComment(e, s2, text) ? 0 : e;
        }
        out.push_back(block);
    }
}

// One block as "ID|Kind|Begins|Ends", so a failing comparison shows the whole block.
inline QString describe(const Block &b)
{
    return QStringLiteral("%1|%2|%3|%4").arg(b.id, b.kind).arg(b.begins).arg(b.ends);
}

inline QStringList describe(const std::vector<Block> &blocks)
{
    QStringList out;
    for (const Block &b : blocks)
        out << describe(b);
    return out;
}

} // namespace sheetsmith::literal
