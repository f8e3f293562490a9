#include "app/carettracker.h"

#include "blocks/scanner.h"
#include "blocks/selectortree.h"
#include "editor/colouring.h"
#include "editor/richedit.h"
#include "inspector/blockvalues.h"
#include "editor/editorlines.h"
#include "inspector/propertyinspector.h"

namespace sheetsmith {

CaretTracker::CaretTracker(RichEdit &editor, Colouriser &colouriser, SelectorTree &tree, QWidget *valueList,
                           QObject *parent)
    : QObject(parent)
    , m_editor(editor)
    , m_colouriser(colouriser)
    , m_tree(tree)
    , m_valueList(valueList)
{
}

CaretTracker::~CaretTracker() = default;

void CaretTracker::setInspector(PropertyInspector *inspector)
{
    m_inspector = inspector;
}

void CaretTracker::RefreshMe()
{
    ScanBlocks(m_editor.model(), m_elementNames, m_blocks);
}

void CaretTracker::FillTree()
{
    m_tree.FillTree(m_blocks);
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
    // The editor, the list and the tree stop painting while they change and paint once
    // at the end; hiding them would move the focus and relayout the panes.
    if (m_valueList)
        m_valueList->setUpdatesEnabled(false);
    m_editor.setUpdatesEnabled(false);
    const qsizetype pos = m_editor.selStart();

    QString left = LineText(m_editor, m_prevLine);
    m_colouriser.ColourLine(left, LineStart(m_editor, m_prevLine), QStringLiteral("Text"), &m_editor);
    {
        const ColouringScope colouring(m_editor);
        m_editor.setSelStart(pos);
    }

    // The blocks still describe the text as it was at the last rebuild.
    const qsizetype cur = m_blocks.FindCurrentBlock(pos);
    if (m_inspector && m_blocks.Count() > 0)
        m_inspector->showValues(cur == -1 ? nullptr : &m_blocks.Item(cur));

    m_tree.setUpdatesEnabled(false);
    refresh();
    m_tree.setUpdatesEnabled(true);
    if (m_valueList)
        m_valueList->setUpdatesEnabled(true);
    m_editor.setUpdatesEnabled(true);
    m_editor.setFocus();
}

} // namespace sheetsmith
