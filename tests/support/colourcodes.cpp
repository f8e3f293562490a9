#include "support/colourcodes.h"

#include "editor/richedit.h"

#include <QStringList>

namespace sheetsmith {

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
