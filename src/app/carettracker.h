#pragma once

#include "blocks/root.h"
#include "blocks/scanner.h"
#include "text/editedrange.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <optional>

namespace sheetsmith {

class Colouriser;
class PropertyInspector;
class RichEdit;
class SelectorTree;

// Keeps the views of the sheet in step with the caret. Every caret or selection change
// of the editor updates the caret's position text (statusChanged). When the caret has
// moved to another line, with nothing selected and outside a program-made change, it
// catches up with the line left: recolours that line, shows in the property list the
// values of the block at the caret (as the blocks stood before this edit), and
// rebuilds the block list and the tree. Typing within a line costs only the status.
//
// The rebuild gives what a scan of the whole text and a new tree would give, but is
// worked out from what changed: the editor reports every edit (textEdited), the edits
// since the last rebuild are gathered into one range, only the blocks around it are
// scanned again (UpdateBlocks), and only the tree nodes of blocks that changed are
// touched. A new text, or other element names, are scanned whole.
class CaretTracker : public QObject
{
    Q_OBJECT

public:
    CaretTracker(RichEdit &editor, Colouriser &colouriser, SelectorTree &tree, QObject *parent = nullptr);
    ~CaretTracker() override;

    // The inspector that shows the values, once the catalogue is loaded.
    void setInspector(PropertyInspector *inspector);
    // The element names the scanner tells element selectors by.
    void setElementNames(const QStringList &names)
    {
        m_elementNames = names;
        m_scanned = false;
    }

    const Root &blocks() const { return m_blocks; }
    int prevLine() const { return m_prevLine; }
    void setPrevLine(int line) { m_prevLine = line; }

    // Rebuilds the block list from the editor's text, and the tree from the blocks.
    void RefreshMe();
    void FillTree();
    void refresh()
    {
        RefreshMe();
        FillTree();
        emit refreshed();
    }

    // The editor's selection changed.
    void onSelectionChanged();

signals:
    // "Line L of N, Col C" for the caret.
    void statusChanged(const QString &text);
    // The blocks and the tree were brought up to date with the text.
    void refreshed();

private:
    void catchUp();
    void onTextEdited(qsizetype from, qsizetype removed, qsizetype added);

    RichEdit &m_editor;
    Colouriser &m_colouriser;
    SelectorTree &m_tree;
    QPointer<PropertyInspector> m_inspector;
    QStringList m_elementNames;
    Root m_blocks;
    int m_prevLine = 1;

    // Whether m_blocks were scanned from the text with these element names; the edits
    // made since.
    bool m_scanned = false;
    EditedRange m_edited;
    // How the blocks changed since the tree was last filled, when the tree can follow by
    // an update: nullopt when it has to be filled anew.
    std::optional<BlockSplice> m_treeChange;
};

} // namespace sheetsmith
