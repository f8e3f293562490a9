#include "blocks/selectorcommands.h"

#include "blocks/root.h"
#include "editor/richedit.h"

namespace sheetsmith {

void InsertRule(RichEdit &editor, const Root &blocks, const QString &selector)
{
    {
        // A program-made caret move: caret tracking does not catch up on the lines
        // passed on the way.
        const ColouringScope colouring(editor);
        editor.setSelStart(blocks.FindNearestEnd(editor.selStart()));
    }
    // The line break and the rule go in together: one undo step.
    editor.setSelText(QStringLiteral("\r\n") + selector + QStringLiteral(" {\r\n\r\n\r\n}"));
    editor.setSelStart(editor.selStart() - 4);
}

bool DeleteBlock(RichEdit &editor, const ItmClass &block)
{
    if (block.Ends() <= block.Begins())
        return false;
    editor.setSelStart(block.Begins());
    editor.setSelLength(block.Ends() - block.Begins());
    editor.setSelText(QString());
    return true;
}

void RenameSelector(RichEdit &editor, const ItmClass &block, const QString &text)
{
    const QString &all = editor.text();
    const qsizetype lineStart = block.Begins();
    qsizetype lineEnd = all.indexOf(u'\r', lineStart);
    if (lineEnd < 0)
        lineEnd = all.size();
    qsizetype brace = all.indexOf(u'{', lineStart);
    if (brace < 0 || brace > lineEnd)
        brace = lineEnd;
    qsizetype from = lineStart;
    while (from < brace && all[from] == u' ')
        ++from;
    qsizetype to = brace;
    while (to > from && all[to - 1] == u' ')
        --to;
    editor.setSelStart(from);
    editor.setSelLength(to - from);
    // A selector written on the line before its "{" leaves nothing to replace here;
    // the new one is set apart from the brace by a blank.
    editor.setSelText(to == from && to == brace && brace < lineEnd ? text + u' ' : text);
    editor.setSelStart(block.Begins());
}

bool JumpToSelector(RichEdit &editor, const Root &blocks, const QString &label)
{
    for (const ItmClass &block : blocks) {
        if (block.ID() != label)
            continue;
        const ColouringScope colouring(editor);
        editor.setSelStart(editor.text().size());
        editor.setSelStart(block.Begins());
        return true;
    }
    return false;
}

} // namespace sheetsmith
