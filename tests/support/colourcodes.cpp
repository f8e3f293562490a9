#include "support/colourcodes.h"

#include "editor/richedit.h"

#include <QStringList>

namespace sheetsmith {

EditorSettings testColourSettings()
{
    EditorSettings s;
    s.selectorColour = colourToRtfDefinition(kSelector);
    s.bracketColour = colourToRtfDefinition(kBracket);
    s.commentColour = colourToRtfDefinition(kComment);
    s.selectorColourValue = kSelector;
    s.bracketColourValue = kBracket;
    s.commentColourValue = kComment;
    return s;
}

QChar colourCode(ColourValue colour)
{
    if (colour == kSelector)
        return u's';
    if (colour == kBracket)
        return u'b';
    if (colour == kComment)
        return u'c';
    if (colour == 0)
        return u'k';
    if (colour == kAutoColour)
        return u'.';
    return u'?';
}

QString editorColourCodes(const RichEdit &edit)
{
    QStringList lines;
    for (int line = 0; line < edit.lineCount(); ++line) {
        QString codes;
        const qsizetype start = edit.lineIndex(line);
        for (qsizetype i = 0; i < edit.model().lineLength(line); ++i)
            codes += colourCode(edit.colourAt(start + i));
        lines << codes;
    }
    return lines.join(u'|');
}

} // namespace sheetsmith
