#pragma once

#include "text/colourvalue.h"

#include <QString>

#include <optional>
#include <vector>

namespace sheetsmith {

// The editor's content in the form its RTF carries: the text with CR LF breaks, one
// colour per character of that text (both characters of a break share the break's
// colour), and the one font the editor shows.
struct RtfContent
{
    QString text;
    std::vector<ColourValue> colours; // kAutoColour for automatic
    QString fontName;
    int fontHalfPoints = 0; // 0: no size given

    friend bool operator==(const RtfContent &, const RtfContent &) = default;
};

// Writes the content in the line layout the document colouring rewrites line by line:
//
//   {\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fnil Name;}}     header, ends with "}}"
//   {\colortbl ;\red..\green..\blue..;}                         only when a colour is set
//   \viewkind4\uc1\pard\f0\fs20 first line                      prefix ends at first blank
//   \par second line                                            one line per text line
//   \par }
//
// and a final CR LF. In the text "{", "}" and "\" are escaped with a backslash, a tab is
// "\tab ", a character outside ASCII is "\uN?" (N the signed UTF-16 unit, a surrogate
// pair as two), other control characters are "\'hh". Colour changes are "\cfN " words
// inside the line text (entry 0 of the table is automatic). A blank or a digit that
// directly follows an escaped brace is written "\'hh", so that the colour word a
// rewrite puts after the brace ("\cf0") can neither swallow it nor take it as its
// number. Missing colours count as automatic; a font size of 0 is left out.
QString writeRtf(const RtfContent &content);

// The font name as RTF written by writeRtf gives it back to readRtf: without the
// characters a font-table entry cannot hold, and trimmed (empty: no font at all).
QString RtfFontName(const QString &name);

// Reads the RTF subset the editor produces and what other programs commonly add: groups,
// the font table (the name of font 0, else of the first font), the colour table (empty
// entries are automatic), \cfN, \plain, \fsN (the first one gives the size), \par,
// \line, \tab, the escapes \{ \} \\, \'hh (Windows-1252), \uN with \ucN fallback
// skipping, \binN; unknown control words and destinations are ignored, CR and LF in the
// source are not text. A \par with nothing but control words after it up to the end of
// the document ends the last paragraph and adds no empty line. Work is linear in the
// input, and any input (truncated, unbalanced, binary) gives a result; nullopt only when
// the input does not start with "{\rtf" (leading white space allowed).
std::optional<RtfContent> readRtf(const QString &rtf);

} // namespace sheetsmith
