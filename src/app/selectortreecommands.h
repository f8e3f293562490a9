#pragma once

#include <QObject>

class QAction;
class QEvent;
class QMenu;
class QModelIndex;
class QMouseEvent;
class QWidget;

namespace sheetsmith {

class CaretTracker;
class NewSelectorPanels;
class RichEdit;
class SelectorTree;

// What the author does with the selector tree: a click on a node jumps to its first
// rule; the popup menu mTree (right button, or the keyboard's menu key at the current
// node) offers New, Delete and Rename (Delete and Rename only on rules, not on the
// three groups); Delete removes the selected rule from its selector's line through
// its "}"; Rename edits the label in place and replaces the selector in the text.
// After a change the blocks and the tree are rebuilt at once.
class SelectorTreeCommands : public QObject
{
    Q_OBJECT

public:
    // deleteButton is the selector toolbar's Delete, enabled only while a rule is
    // selected. The popup menu is made as a child of owner, which also owns messages.
    SelectorTreeCommands(SelectorTree &tree, RichEdit &editor, CaretTracker &tracker, NewSelectorPanels &panels,
                         QAction *deleteButton, QWidget *owner);
    ~SelectorTreeCommands() override;

    QMenu *menu() const { return m_mTree; }

    // Opens the new-selector panel of the group of the current node.
    void newFromTree();
    // Deletes the rule of the selected node; groups and unclosed rules stay.
    void deleteSelector();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void renameSelector(int node, const QString &text);
    void jumpToNode(const QModelIndex &index);
    void mouseReleased(QMouseEvent *event);
    void enableForNode(const QModelIndex &index);

    SelectorTree &m_tree;
    RichEdit &m_editor;
    CaretTracker &m_tracker;
    NewSelectorPanels &m_panels;
    QAction *m_deleteButton;
    QWidget *m_owner;
    QWidget *m_viewport = nullptr; // compared only, never called
    QMenu *m_mTree = nullptr;
    QAction *m_mTDelete = nullptr;
    QAction *m_mTrename = nullptr;
};

} // namespace sheetsmith
