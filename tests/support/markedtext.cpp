#include "support/markedtext.h"

#include "editor/richedit.h"
#include "text/textmodel.h"

namespace sheetsmith {

MarkedText parseMarked(const QString &marked)
{
    MarkedText out;
    out.text = TextModel::toCrLf(marked);
    if (const qsizetype caret = out.text.indexOf(u'|'); caret >= 0) {
        out.text.remove(caret, 1);
        out.selStart = caret;
    } else if (const qsizetype start = out.text.indexOf(u'['); start >= 0) {
        out.text.remove(start, 1);
        const qsizetype end = out.text.indexOf(u']', start);
        if (end >= 0)
            out.text.remove(end, 1);
        out.selStart = start;
        out.selLength = end >= 0 ? end - start : 0;
    }
    return out;
}

QString marked(const QString &text, qsizetype selStart, qsizetype selLength)
{
    QString out = text;
    if (selLength == 0)
        return out.insert(selStart, u'|');
    out.insert(selStart + selLength, u']');
    return out.insert(selStart, u'[');
}

void loadMarked(RichEdit &edit, const QString &markedText)
{
    const MarkedText m = parseMarked(markedText);
    edit.setText(m.text);
    edit.setSelStart(m.selStart);
    edit.setSelLength(m.selLength);
}

QString marked(const RichEdit &edit)
{
    return marked(edit.text(), edit.selStart(), edit.selLength());
}

} // namespace sheetsmith
