#include "app/selectortreecommands.h"

#include "app/carettracker.h"
#include "app/icons.h"
#include "blocks/newselectorpanels.h"
#include "blocks/selectorcommands.h"
#include "blocks/selectortree.h"
#include "blocks/selectortreemodel.h"
#include "dialogs/dialogseam.h"
#include "editor/richedit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

namespace sheetsmith {

SelectorTreeCommands::SelectorTreeCommands(SelectorTree &tree, RichEdit &editor, CaretTracker &tracker,
                                           NewSelectorPanels &panels, QAction *deleteButton, QWidget *owner)
    : QObject(owner)
    , m_tree(tree)
    , m_editor(editor)
    , m_tracker(tracker)
    , m_panels(panels)
    , m_deleteButton(deleteButton)
    , m_owner(owner)
{
    // The tree's popup menu; never part of the menu bar.
    m_mTree = new QMenu(QStringLiteral("Tree"), owner);
    m_mTree->setObjectName(QStringLiteral("mTree"));
    QAction *mTnew = m_mTree->addAction(menuIcon(QStringLiteral("mTnew")), QStringLiteral("New"));
    mTnew->setObjectName(QStringLiteral("mTnew"));
    connect(mTnew, &QAction::triggered, this, &SelectorTreeCommands::newFromTree);
    m_mTree->addSeparator();
    m_mTDelete = m_mTree->addAction(menuIcon(QStringLiteral("mTDelete")), QStringLiteral("Delete"));
    m_mTDelete->setObjectName(QStringLiteral("mTDelete"));
    connect(m_mTDelete, &QAction::triggered, this, &SelectorTreeCommands::deleteSelector);
    m_mTrename = m_mTree->addAction(menuIcon(QStringLiteral("mTrename")), QStringLiteral("Rename"));
    m_mTrename->setObjectName(QStringLiteral("mTrename"));
    connect(m_mTrename, &QAction::triggered, this, [this] {
        if (SelectorTreeModel::blockOfNode(m_tree.selectedNode()) > 0)
            m_tree.editNode(m_tree.selectedNode());
    });
    m_mTree->menuAction()->setVisible(false);

    m_viewport = m_tree.viewport();
    m_viewport->installEventFilter(this);
    m_tree.installEventFilter(this);
    connect(&m_tree, &QAbstractItemView::clicked, this, &SelectorTreeCommands::jumpToNode);
    connect(&m_tree, &QAbstractItemView::activated, this, &SelectorTreeCommands::jumpToNode);
    connect(&m_tree, &SelectorTree::labelEdited, this, &SelectorTreeCommands::renameSelector);
}

SelectorTreeCommands::~SelectorTreeCommands() = default;

void SelectorTreeCommands::newFromTree()
{
    const QString path = m_tree.fullPath(m_tree.currentIndex());
    if (path.startsWith(u'E'))
        m_panels.open(NewSelectorPanels::Kind::Element);
    else if (path.startsWith(u'C'))
        m_panels.open(NewSelectorPanels::Kind::Class);
    else if (path.startsWith(u'I'))
        m_panels.open(NewSelectorPanels::Kind::ID);
}

void SelectorTreeCommands::deleteSelector()
{
    // No node, or a group: nothing to delete.
    const int number = SelectorTreeModel::blockOfNode(m_tree.selectedNode());
    if (number == 0 || number > m_tracker.blocks().Count())
        return;
    const ItmClass &block = m_tracker.blocks().Item(number);
    if (!DeleteBlock(m_editor, block)) {
        MsgBox(m_owner,
               QStringLiteral("The rule ") + block.ID()
                   + QStringLiteral(" has no closing brace, so where it ends is not known. Delete it in the text."),
               DialogSeam::Warning);
        return;
    }
    m_tracker.refresh();
}

void SelectorTreeCommands::renameSelector(int node, const QString &text)
{
    const int block = SelectorTreeModel::blockOfNode(node);
    if (block == 0 || block > m_tracker.blocks().Count())
        return;
    RenameSelector(m_editor, m_tracker.blocks().Item(block), text);
    m_tracker.refresh();
    m_editor.setFocus();
}

void SelectorTreeCommands::jumpToNode(const QModelIndex &index)
{
    JumpToSelector(m_editor, m_tracker.blocks(), index.data().toString());
    m_editor.setFocus();
}

void SelectorTreeCommands::enableForNode(const QModelIndex &index)
{
    const bool group = SelectorTreeModel::blockOfNode(m_tree.nodeIndex(index)) == 0;
    m_mTDelete->setEnabled(!group);
    m_mTrename->setEnabled(!group);
}

void SelectorTreeCommands::mouseReleased(QMouseEvent *event)
{
    const QModelIndex index = m_tree.indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    if (event->button() == Qt::RightButton) {
        enableForNode(index);
        m_tree.setCurrentIndex(index);
        m_mTree->popup(m_tree.viewport()->mapToGlobal(event->position().toPoint()));
    } else if (event->button() == Qt::LeftButton) {
        m_deleteButton->setEnabled(SelectorTreeModel::blockOfNode(m_tree.nodeIndex(index)) > 0);
    }
}

bool SelectorTreeCommands::eventFilter(QObject *watched, QEvent *event)
{
    // The viewport is compared as remembered: asking the tree for it while the tree
    // is being destroyed would call into a half-destroyed object.
    if (watched == m_viewport && event->type() == QEvent::MouseButtonRelease) {
        mouseReleased(static_cast<QMouseEvent *>(event));
    } else if (watched == &m_tree && event->type() == QEvent::ContextMenu) {
        // The mouse opens the popup on release; the keyboard's menu key opens it at
        // the current node.
        const auto *menuEvent = static_cast<QContextMenuEvent *>(event);
        if (menuEvent->reason() == QContextMenuEvent::Keyboard && m_tree.currentIndex().isValid()) {
            enableForNode(m_tree.currentIndex());
            m_mTree->popup(m_tree.viewport()->mapToGlobal(m_tree.visualRect(m_tree.currentIndex()).center()));
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace sheetsmith
