#include "editor/colouringrules.h"

#include <QList>

#include <algorithm>

namespace sheetsmith {

namespace {

// Colour words always end with their blank. A word left unterminated ("\cf0") would
// take the blank or the digit after it as its delimiter or its number, and a character
// of the text would be lost or the colour changed.
const QString kSelectorWord = QStringLiteral("\\cf1 ");
const QString kBraceWord = QStringLiteral("\\cf2 ");
const QString kCommentWord = QStringLiteral("\\cf3 ");
const QString kDefaultWord = QStringLiteral("\\cf0 ");
const QString kCrLf = QStringLiteral("\r\n");

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool isHexDigit(QChar c)
{
    return hexDigitValue(c) >= 0;
}

// --- RTF units ---------------------------------------------------------------------
//
// The text part of an RTF line is read as a sequence of units: a plain character, an
// escape ("\{", "\\", "\'hh"), a control word with its number and delimiting blank
// ("\cf1 ", "\tab "), or "\uN" together with the fallback character that follows it.
// Texts the rules look for (a selector, a comment, a brace) are made of whole units, so
// they are matched only where a unit starts and ends: the selector "u" must not match
// the "u" of "\u233?", nor "0" the one of "\'20", nor "?" a fallback character.

qsizetype unitLength(QStringView s, qsizetype i)
{
    const qsizetype n = s.size();
    if (s[i] != u'\\' || i + 1 >= n)
        return 1;
    const QChar next = s[i + 1];
    if (next == u'\'')
        return (i + 3 < n && isHexDigit(s[i + 2]) && isHexDigit(s[i + 3])) ? 4 : 2;
    if (!isAsciiLetter(next))
        return 2;
    qsizetype k = i + 1;
    while (k < n && isAsciiLetter(s[k]))
        ++k;
    const bool unicodeWord = k == i + 2 && next == u'u';
    if (k + 1 < n && s[k] == u'-' && isAsciiDigit(s[k + 1]))
        ++k;
    bool hasNumber = false;
    while (k < n && isAsciiDigit(s[k])) {
        ++k;
        hasNumber = true;
    }
    if (k < n && s[k] == u' ')
        ++k;
    if (unicodeWord && hasNumber && k < n) {
        // The fallback character of "\uN" is skipped by a reader, so it belongs to the
        // unit. Only a character or a one-character escape counts as fallback here; a
        // group brace or another control word ends the fallback, as a reader sees it.
        if (s[k] != u'\\' && s[k] != u'{' && s[k] != u'}') {
            ++k;
        } else if (s[k] == u'\\' && k + 1 < n && !isAsciiLetter(s[k + 1])) {
            k += (s[k + 1] == u'\'' && k + 3 < n && isHexDigit(s[k + 2]) && isHexDigit(s[k + 3]))
                     ? 4
                     : 2;
        }
    }
    return k - i;
}

bool isEscapedBrace(QStringView s, qsizetype i, qsizetype length)
{
    return length == 2 && s[i] == u'\\' && (s[i + 1] == u'{' || s[i + 1] == u'}');
}

// The colour words for the selector, the brace and the default colour, with or without
// their blank: those are taken out of a comment so that all of it shows in the comment
// colour. Only whole words are taken, never text that merely looks like one.
bool isInnerColourWord(QStringView unit)
{
    if (unit.size() < 4 || unit.size() > 5 || !unit.startsWith(u"\\cf"))
        return false;
    const QChar digit = unit[3];
    if (digit != u'0' && digit != u'1' && digit != u'2')
        return false;
    return unit.size() == 4 || unit[4] == u' ';
}

// The first occurrence of needle at or after `from` (a unit boundary of s) that starts
// and ends on unit boundaries; -1 when there is none.
qsizetype findAligned(QStringView s, QStringView needle, qsizetype from)
{
    if (needle.isEmpty())
        return -1;
    qsizetype boundary = from;
    qsizetype searchFrom = from;
    // Each round moves searchFrom past the occurrence it rejected, so the loop ends.
    while (searchFrom < s.size()) {
        const qsizetype at = s.indexOf(needle, searchFrom);
        if (at < 0)
            return -1;
        while (boundary < at)
            boundary += unitLength(s, boundary);
        if (boundary == at) {
            const qsizetype want = at + needle.size();
            qsizetype end = at;
            while (end < want)
                end += unitLength(s, end);
            if (end == want)
                return at;
            boundary += unitLength(s, boundary);
        }
        searchFrom = boundary;
    }
    return -1;
}

// Every aligned occurrence of needle, left to right and not overlapping, wrapped
// between `before` and `after`.
QString wrapEveryAligned(const QString &s, const QString &needle, const QString &before,
                         const QString &after)
{
    QString out;
    out.reserve(s.size() + before.size() + after.size());
    qsizetype copied = 0;
    for (qsizetype at = findAligned(s, needle, 0); at >= 0;
         at = findAligned(s, needle, copied)) {
        out += QStringView(s).mid(copied, at - copied);
        out += before;
        out += needle;
        out += after;
        copied = at + needle.size();
    }
    out += QStringView(s).mid(copied);
    return out;
}

// Every escaped brace between the brace word and the default word.
QString wrapBraces(QStringView s)
{
    QString out;
    out.reserve(s.size() + s.size() / 4);
    for (qsizetype i = 0; i < s.size();) {
        const qsizetype length = unitLength(s, i);
        if (isEscapedBrace(s, i, length)) {
            out += kBraceWord;
            out += s.mid(i, length);
            out += kDefaultWord;
        } else {
            out += s.mid(i, length);
        }
        i += length;
    }
    return out;
}

// The text with the selector, brace and default colour words taken out. A word goes
// together with its delimiting blank: taking the word alone would leave that blank
// behind as a character of the comment.
QString stripInnerColourWords(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size();) {
        const qsizetype length = unitLength(s, i);
        const QStringView unit = s.mid(i, length);
        if (!isInnerColourWord(unit))
            out += unit;
        i += length;
    }
    return out;
}

// Start of the last "\{" unit, or -1.
qsizetype lastOpeningBrace(QStringView s)
{
    qsizetype last = -1;
    for (qsizetype i = 0; i < s.size();) {
        const qsizetype length = unitLength(s, i);
        if (length == 2 && s[i] == u'\\' && s[i + 1] == u'{')
            last = i;
        i += length;
    }
    return last;
}

// Colours the comments of a line's text (colour words for selector and braces already
// in it) and updates commentOpen.
void colourComments(QString &text, bool &commentOpen)
{
    const QString open = QStringLiteral("/*");
    const QString close = QStringLiteral("*/");
    qsizetype opener = findAligned(text, open, 0);
    if (opener < 0) {
        // No opener: a closer ends a comment opened on an earlier line, and the text
        // from the line's start through the last closer is comment.
        qsizetype lastCloser = -1;
        for (qsizetype at = findAligned(text, close, 0); at >= 0;
             at = findAligned(text, close, at + close.size()))
            lastCloser = at;
        if (lastCloser < 0)
            return;
        commentOpen = false;
        text.insert(lastCloser + close.size(), kDefaultWord);
        text.prepend(kCommentWord);
        return;
    }
    // Each opener runs to the first closer at or after it (so "/*/" is a whole
    // comment). The comment is wrapped where it was found and the walk goes on after it.
    // A copy of the same comment further on is wrapped when the walk reaches it; wrapping
    // every copy at once, and then searching on from a position the insertions had
    // moved, would find the same comment again and again. Openers inside a wrapped
    // comment belong to it and change no colour.
    QString out;
    out.reserve(text.size() + 16);
    qsizetype copied = 0;
    while (opener >= 0) {
        const qsizetype closer = findAligned(text, close, opener);
        if (closer < 0) {
            // Every later opener is unclosed as well.
            commentOpen = true;
            break;
        }
        const qsizetype end = closer + close.size();
        out += QStringView(text).mid(copied, opener - copied);
        out += kCommentWord;
        out += stripInnerColourWords(QStringView(text).mid(opener, end - opener));
        out += kDefaultWord;
        copied = end;
        commentOpen = false;
        opener = findAligned(text, open, end);
    }
    out += QStringView(text).mid(copied);
    text = std::move(out);
}

} // namespace

SyntaxColours SyntaxColours::fromValues(ColourValue selector, ColourValue bracket,
                                        ColourValue comment)
{
    return {colourToRtfDefinition(selector), colourToRtfDefinition(bracket),
            colourToRtfDefinition(comment), {selector, bracket, comment}};
}

QString ColourTableText(const QString &selectorColour, const QString &bracketColour,
                        const QString &commentColour)
{
    return QStringLiteral("{\\colortbl ;") + selectorColour + u';' + bracketColour + u';'
           + commentColour + QStringLiteral(";}");
}

void ColourRtfLine(QString &line, bool &commentOpen)
{
    if (line == u" " || line == u"\\par }")
        return;
    // The prefix ends with the line's first blank, which delimits its last control
    // word. Everything is done on the text after it: a replacement reaching into the
    // prefix (a selector "a" inside "\par") would break the line's paragraph mark, and a
    // colour word put in front of the blank would turn the blank into text.
    const qsizetype blank = line.indexOf(u' ');
    if (blank < 0)
        return;
    QString text = line.mid(blank + 1);

    // The selector: everything in front of the last "{" is wrapped in the selector
    // colour, wherever it occurs in the text.
    const qsizetype brace = lastOpeningBrace(text);
    if (brace > 0)
        text = wrapEveryAligned(text, text.left(brace), kSelectorWord, kDefaultWord);

    // Every brace in the brace colour, those inside comments too (a closed comment
    // takes the words out again below).
    text = wrapBraces(text);

    colourComments(text, commentOpen);

    // A comment still open colours the whole text. The colour words already in it stay
    // and keep their colours, as the line's own rules gave them.
    if (commentOpen && !text.isEmpty())
        text = kCommentWord + text + kDefaultWord;

    line.truncate(blank + 1);
    line += text;
}

QString ColourRtfText(const QString &rtf, const QString &colourTable, bool &commentOpen)
{
    QString source = rtf;
    if (!source.contains(u"{\\colortbl ;")) {
        // The header line ends with the font table's "}}"; the text's own braces are
        // escaped, so the first "}}" is that end. The table becomes the second line.
        const qsizetype headerEnd = source.indexOf(u"}}");
        if (headerEnd >= 0)
            source.insert(headerEnd + 2, kCrLf + colourTable);
    }

    const QList<QStringView> lines = QStringView(source).split(kCrLf);
    const qsizetype last = lines.size() - 1;
    QString out;
    out.reserve(source.size() + source.size() / 4);
    // Header and table lines come first; the closing "\par }" and the empty rest after
    // the final CR LF come last.
    for (qsizetype i = 0; i <= last; ++i) {
        if (i > 0)
            out += kCrLf;
        // A line without a brace, without a "*" (both comment markers hold one) and
        // outside an open comment gets no colour word: it is copied as it stands.
        const bool plain = !commentOpen && !lines[i].contains(u'{') && !lines[i].contains(u'}')
                           && !lines[i].contains(u'*');
        if (i >= 2 && i <= last - 2 && !plain) {
            QString line = lines[i].toString();
            ColourRtfLine(line, commentOpen);
            out += line;
        } else {
            out += lines[i];
        }
    }
    return out;
}

LineColourPlan PlanTextLine(const QString &line, qsizetype start1, qsizetype lastOpen1,
                            qsizetype lastClose1, const TextColours &colours)
{
    LineColourPlan plan;
    const qsizetype length = line.size();
    plan.colours.assign(size_t(length), 0);
    const auto fill = [&plan, length](qsizetype from, qsizetype to, ColourValue colour) {
        from = std::clamp<qsizetype>(from, 0, length);
        to = std::clamp<qsizetype>(to, from, length);
        std::fill(plan.colours.begin() + from, plan.colours.begin() + to, colour);
    };
    const CommentMarkers lineMarkers(line);
    const auto live = [&lineMarkers](qsizetype index) { return !lineMarkers.inComment(index + 1, 1); };

    // The range selected last, which a comment open up to the line's end recolours:
    // the whole line unless a live "{" was coloured.
    qsizetype selectedFrom = 0;
    qsizetype selectedTo = length;

    // Each live "{" colours everything before it as selector and itself as brace; a later
    // one recolours the earlier ones, braces included, so the last live "{" decides.
    qsizetype lastLive = -1;
    for (qsizetype i = line.indexOf(u'{'); i >= 0; i = line.indexOf(u'{', i + 1)) {
        if (live(i))
            lastLive = i;
    }
    if (lastLive >= 0) {
        fill(0, lastLive, colours.selector);
        plan.colours[size_t(lastLive)] = colours.bracket;
        selectedFrom = lastLive;
        selectedTo = lastLive + 1;
    }

    if (lastOpen1 < start1 && lastClose1 > start1) {
        // A comment opened before the line closes on it: the line's start through "*/".
        fill(0, lastClose1 - start1 + 2, colours.comment);
    } else if (lastClose1 < lastOpen1) {
        fill(selectedFrom, selectedTo, colours.comment);
    } else if (lastOpen1 >= start1 && lastClose1 > lastOpen1) {
        // Each opener through the first closer from two past it, so "/*/" does not close
        // itself here. Openers inside a coloured comment colour parts of it again; the
        // union is kept as it grows, so the work stays linear.
        const CommentMarkerPositions &markers = lineMarkers.positions();
        qsizetype coloured = 0;
        for (const qsizetype opener : markers.opens) {
            const qsizetype closer = FirstMarkerAtOrAfter(markers.closes, opener + 2);
            if (closer < 0) {
                // Open to the end of the line, break included; later openers add nothing.
                fill(std::max(opener, coloured), length, colours.comment);
                plan.breakColour = colours.comment;
                break;
            }
            fill(std::max(opener, coloured), closer + 2, colours.comment);
            coloured = std::max(coloured, closer + 2);
        }
    }

    for (qsizetype i = line.indexOf(u'}'); i >= 0; i = line.indexOf(u'}', i + 1)) {
        if (live(i))
            plan.colours[size_t(i)] = colours.bracket;
    }
    return plan;
}

} // namespace sheetsmith
