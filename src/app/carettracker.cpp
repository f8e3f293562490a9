#include "app/carettracker.h"

#include "blocks/scanner.h"
#include "blocks/selectortree.h"
#include "editor/colouring.h"
#include "editor/richedit.h"
#include "inspector/blockvalues.h"
#include "editor/editorlines.h"
#include "inspector/propertyinspector.h"

namespace sheetsmith {

CaretTracker::CaretTracker(RichEdit &editor, Colouriser &colouriser, SelectorTree &tree, QObject *parent)
    : QObject(parent)
    , m_editor(editor)
    , m_colouriser(colouriser)
    , m_tree(tree)
{
    connect(&m_editor, &RichEdit::textEdited, this, &CaretTracker::onTextEdited);
}

CaretTracker::~CaretTracker() = default;

void CaretTracker::setInspector(PropertyInspector *inspector)
{
    m_inspector = inspector;
}

void CaretTracker::onTextEdited(qsizetype from, qsizetype removed, qsizetype added)
{
    m_edited.add({from, removed, added});
}

void CaretTracker::RefreshMe()
{
    const TextModel &text = m_editor.model();
    // A change of most of the text is scanned whole: the tree is then filled anew too,
    // which costs less than moving most of its rows.
    const bool mostly = m_edited.any && (m_edited.to - m_edited.from) * 2 > text.length();
    if (!m_scanned || mostly) {
        ScanBlocks(text, m_elementNames, m_blocks);
        m_treeChange.reset();
    } else if (m_edited.any) {
        const BlockSplice splice = UpdateBlocks(text, m_elementNames, m_blocks, m_edited);
        if (m_treeChange)
            m_treeChange = m_treeChange->then(splice);
    }
    m_scanned = true;
    m_edited = {};
}

void CaretTracker::FillTree()
{
    if (m_treeChange)
        m_tree.updateTree(m_blocks, *m_treeChange);
    else
        m_tree.FillTree(m_blocks);
    m_treeChange = BlockSplice{};
}

void CaretTracker::onSelectionChanged()
{
    const int line = CaretLine(m_editor);
    if (!m_editor.colouring() && line != m_prevLine && m_editor.selLength() == 0)
        catchUp();
    m_prevLine = CaretLine(m_editor);
    emit statusChanged(CaretPositionText(line, LineCount(m_editor), CaretColumn(m_editor)));
}

void CaretTracker::catchUp()
{
    // The editor, the list and the tree show only the end state: nothing is painted
    // before the catching-up ends (painting waits for the event loop), and each repaints
    // only what changed (turning a widget's painting off and on would repaint all of it,
    // and hiding it would move the focus and relayout the panes).
    const qsizetype pos = m_editor.selStart();

    {
        // The line colouring leaves the caret at the end of the line left, and it comes
        // back at once: under one scope the view does not scroll there and back.
        const ColouringScope colouring(m_editor);
        QString left = LineText(m_editor, m_prevLine);
        m_colouriser.ColourLine(left, LineStart(m_editor, m_prevLine), QStringLiteral("Text"), &m_editor);
        m_editor.setSelStart(pos);
    }

    // The blocks still describe the text as it was at the last rebuild.
    const qsizetype cur = m_blocks.FindCurrentBlock(pos);
    if (m_inspector && m_blocks.Count() > 0)
        m_inspector->showValues(cur == -1 ? nullptr : &m_blocks.Item(cur));

    refresh();
    m_editor.setFocus();
}

} // namespace sheetsmith
