#pragma once

#include "app/mainmenus.h"

class QFrame;
class QLabel;
class QPlainTextEdit;
class QStatusBar;
class QTreeWidget;
class QWidget;

namespace sheetsmith {

class NewSelectorPanels;
class RichEdit;
class SelectorTree;
struct PaneGeometry;

// The controls of the main window's surface, all owned by their Qt parents, with their
// objectNames: the left pane Frame1 (the selector tree Tv under its caption Lbl1, the
// new-selector panels over the tree's foot, the property list LstP and its description
// TxtInfo under Lbl2), the right pane Frame2 (the sheet MainText under its path, Lbl3),
// the two toolbars and the status bar StBar.
struct MainPanes
{
    QFrame *frame1 = nullptr;
    QLabel *lbl1 = nullptr;
    SelectorTree *tv = nullptr;
    NewSelectorPanels *panels = nullptr;
    QLabel *lbl2 = nullptr;
    QTreeWidget *lstP = nullptr;
    QPlainTextEdit *txtInfo = nullptr;
    QFrame *frame2 = nullptr;
    QLabel *lbl3 = nullptr;
    RichEdit *mainText = nullptr;
    MainToolbars toolbars;
    QStatusBar *stBar = nullptr;
    QLabel *panel1 = nullptr; // what the program is doing or did, "Ready" at first
    QLabel *panel2 = nullptr; // the caret's line and column
};

// Builds the left pane and then the right pane on surface. The controls are made in
// the order the Tab key visits them.
void buildPanes(QWidget *surface, MainPanes &panes);
// Builds the status bar on surface.
void buildStatusBar(QWidget *surface, MainPanes &panes);
// Places the controls as g says (in twips): the main toolbar across the top of
// surface, the status bar across its bottom, the selector toolbar at its design place
// in the left pane, the new-selector panels over the foot of the tree. Does nothing
// until the status bar is built, the last of them.
void placePanes(const MainPanes &panes, const PaneGeometry &g, const QWidget &surface);

} // namespace sheetsmith
