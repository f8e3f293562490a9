#pragma once

#include "text/colourvalue.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace sheetsmith {

// The document colouring worked out on the plain text instead of on its RTF.
//
// The document colouring rewrites the RTF the editor writes for a text (writeRtf, all
// automatic) line by line (ColourRtfLine) and reads the result back. Every character of
// the text is one RTF unit there (a character, an escape, "\tab ", "\uN?"), and the
// rewrite's searches match whole units only, so the same rules can be followed on the
// characters themselves, with the colour words as marks between them. Two characters
// match when their units do: a blank or a digit right after a brace is written as an
// escape, so it matches only such another one.
//
// The result is what reading the rewritten RTF gives: a colour-table entry for each
// character (0 automatic, 1 selector, 2 brace, 3 comment), a line break taking the
// entry in effect at its "\par". commentOpen carries an unclosed comment in and out, as
// the RTF colouring's does.

// One entry per character of Qt's form of the CR LF text (a break is one character).
std::vector<quint8> DocumentColourEntries(const QString &crLfText, bool &commentOpen);

// The colours reading an RTF document with this colour table gives entries 0 to 3, when
// the table is "{\colortbl ;" followed by three definitions made of \redN, \greenN and
// \blueN words only, each ended by ";", and "}". nullopt for any other table: it could
// change how the rest of the document is read, and only the RTF round trip shows how.
std::optional<std::array<ColourValue, 4>> ColourTableColours(const QString &colourTable);

} // namespace sheetsmith
