#pragma once

#include "text/colourvalue.h"
#include "text/commentmarkers.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace sheetsmith {

// The string rules of syntax colouring, apart from the editor that applies them.
//
// Two forms of colouring exist. The document colouring rewrites the editor's RTF line
// by line with colour words naming colour-table entries 1 (selector), 2 (brace) and
// 3 (comment), entry 0 being the automatic colour. The line colouring recolours one
// editor line by selecting ranges; its rule is worked out here as the final colour of
// every character of the line (PlanTextLine), which the editor then applies.

// "{\colortbl ;" selector ";" brace ";" comment ";}": entries 1, 2 and 3 in that order.
// Definitions are copied verbatim; an empty one gives an automatic entry.
QString ColourTableText(const QString &selectorColour, const QString &bracketColour,
                        const QString &commentColour);

// Colours one line of the editor's RTF in place: the selector in front of the line's
// last "{", every brace, every comment on the line, and, while commentOpen is true,
// the whole line. commentOpen carries an unclosed comment from line to line.
//
// A line is its prefix (control words up to and including its first blank: "\par " or
// the first line's formatting words) and its text. Only the text is rewritten, and only
// whole RTF units of it are matched (a character, an escape such as "\{" or "\'20", a
// "\uN" with its fallback character, a control word with its delimiter), so colouring
// never changes a character of the text; see the .cpp for how each rule keeps to that.
// The lines " " and "\par }" are left alone.
void ColourRtfLine(QString &line, bool &commentOpen);

// The whole-document colouring of the editor's RTF: the colour table is added as a line
// of its own after the header line when the RTF holds no "{\colortbl ;" yet, and every
// text line (the third line up to the third-last) is coloured by ColourRtfLine.
QString ColourRtfText(const QString &rtf, const QString &colourTable, bool &commentOpen);

struct TextColours
{
    ColourValue selector = 0;
    ColourValue bracket = 0;
    ColourValue comment = 0;
};

// The three colours in the two forms the colourings take them: RTF colour-table
// definitions ("\redR\greenG\blueB") for the document colouring and numbers for the
// line colouring. The settings keep both forms, and normally they agree.
struct SyntaxColours
{
    QString selectorDefinition;
    QString bracketDefinition;
    QString commentDefinition;
    TextColours values;

    // Both forms from the numbers.
    static SyntaxColours fromValues(ColourValue selector, ColourValue bracket, ColourValue comment);
};

// The colours the line colouring leaves on one editor line.
struct LineColourPlan
{
    // One colour per character of the line; the line colouring sets every one of them.
    std::vector<ColourValue> colours;
    // The colour of the line break after the line, when a comment left open on the
    // line is coloured through to the line's end; nullopt leaves the break alone.
    std::optional<ColourValue> breakColour;
};

// The line colouring of `line`, whose first character is at the 1-based position
// start1 of the editor's whole text. lastOpen1 and lastClose1 are the 1-based
// positions of the last "/*" and the last "*/" lying wholly within the text up to the
// end of this line (0 when there is none). The default colour is the colour value 0.
//
// In order, later steps overriding earlier ones: the whole line in 0; for each "{"
// that no "/*" earlier on the same line leaves open, everything from the line's start
// up to it as selector and the brace as brace; then comments:
//   - a comment opened before the line closes on it (lastOpen1 < start1 < lastClose1):
//     from the line's start through that "*/";
//   - the text up to the line's end lies in an open comment (lastClose1 < lastOpen1):
//     the last range selected so far (the last live "{", else the whole line);
//   - the line holds the last opener and it is closed (start1 <= lastOpen1 <
//     lastClose1): each "/*" of the line through the next "*/" searched from two past
//     it, or, with none, through the line's end and its break;
// and last, each "}" that no "/*" earlier on the line leaves open as brace.
LineColourPlan PlanTextLine(const QString &line, qsizetype start1, qsizetype lastOpen1,
                            qsizetype lastClose1, const TextColours &colours);

} // namespace sheetsmith
