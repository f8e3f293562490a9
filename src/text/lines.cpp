#include "text/lines.h"

#include "text/textmodel.h"

namespace sheetsmith {

qsizetype LineLength(const TextModel &model, qsizetype charIndex)
{
    if (charIndex < 0 || charIndex > model.length())
        return 0;
    return model.lineLength(model.lineOfOffset(charIndex));
}

int CaretLine(const TextModel &model, qsizetype caret)
{
    return model.lineOfOffset(caret) + 1;
}

qsizetype CaretColumn(const TextModel &model, qsizetype caret)
{
    return caret - model.lineStart(model.lineOfOffset(caret)) + 1;
}

int LineOfChar(const TextModel &model, qsizetype charIndex)
{
    return model.lineOfOffset(charIndex) + 1;
}

qsizetype LineStart(const TextModel &model, int line1)
{
    if (line1 < 1 || line1 > model.lineCount())
        return 0;
    return model.lineStart(line1 - 1) + 1;
}

int LineCount(const TextModel &model)
{
    return model.lineCount();
}

QString LineText(const TextModel &model, int line1)
{
    // The 1-based start read as a 0-based index is the line's second character, or
    // for an empty line the LF of its own break: either way still line1.
    const qsizetype len = LineLength(model, LineStart(model, line1));
    if (len < 1)
        return QString();
    return model.lineText(line1 - 1).left(len);
}

} // namespace sheetsmith
